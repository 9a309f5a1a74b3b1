// Browser platform: the same functions on Emscripten's HTML5 and JavaScript
// interop. Frames go to the page's canvas, keys come by their physical
// code, sound is the game's own mixer pulled by Web Audio, and the files
// live in Emscripten's file system. Everything runs on the page's one
// thread: the page's frame callback drives the frame step (web/main.cpp),
// so nothing here blocks or waits.
#include "platform/files.h"
#include "platform/key_bindings.h"
#include "platform/key_latch.h"
#include "platform/platform.h"
#include "platform/sound_mixer.h"
#include "platform/wav_check.h"
#include "platform/web.h"
#include "platform/web_plain.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int OutputRate = 44100;

std::array<platform::KeyLatch, platform::KeyCount> keys;
// The page runs on one thread: the bindings and the last press need no lock.
platform::KeyBindings bindings = platform::KeyBindings::defaults();
int pressedCap = platform::NoCap;
platform::TypedLetters typedLetters;
bool windowOpen = false;
bool isRunning = true;
bool bgmRestart = true;
std::vector<std::uint8_t> rgba;  // the canvas's copy of the last frame
platform::SoundMixer mixer;
std::vector<std::int16_t> mixBlock;
bool scripted = false;  // the test mode: clock and keys from a script
std::uint32_t scriptedClock = 0;
int boxesOpen = 0;
std::vector<web::ShownMessageBox> boxesShown;

// Audio may only start after a gesture of the player; the first key press
// creates the context (the page's script, see web/index.html).
// clang-format off
EM_JS(void, js_start_audio, (int rate), {
    if (Module.tessaloomStartAudio) Module.tessaloomStartAudio(rate);
});
// clang-format on

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*)
{
    // An open box takes the keys (Enter, Escape) for itself; a script
    // leaves the player's keys out.
    if (boxesOpen > 0 || scripted) return EM_FALSE;
    const int k = platform::keyForEvent(e->code, e->key, e->altKey, bindings);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) js_start_audio(OutputRate);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && !e->repeat) {
        const int cap = platform::capForEvent(e->code, e->key);
        if (cap != platform::NoCap) pressedCap = cap;
    }
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && !e->repeat)
        typedLetters.type(platform::letterForKey(e->key, e->ctrlKey || e->altKey || e->metaKey));
    if (type == EMSCRIPTEN_EVENT_KEYUP && platform::isEnterCode(e->code)) {
        keys[static_cast<std::size_t>(platform::Key::Enter)].keyUp();
        keys[static_cast<std::size_t>(platform::Key::Fullscreen)].keyUp();
    }
    if (k < 0) return EM_FALSE;
    if (type == EMSCRIPTEN_EVENT_KEYDOWN)
        keys[static_cast<std::size_t>(k)].keyDown(e->repeat);
    else
        keys[static_cast<std::size_t>(k)].keyUp();
    // Taken: the arrows must not scroll the page, nor F11 leave it.
    return EM_TRUE;
}

// A lost focus lets every key go: their key-ups go elsewhere.
EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*)
{
    for (auto& k : keys)
        k.keyUp();
    return EM_FALSE;
}

// The page's text names the keys bound (web/index.html: data-key).
// clang-format off
EM_JS(void, js_show_key, (int key, const char* name), {
    var text = UTF8ToString(name);
    document.querySelectorAll('[data-key="' + key + '"]').forEach(function (e) { e.textContent = text; });
});
// clang-format on

// clang-format off
EM_JS(void, js_put_frame, (const std::uint8_t* pixels, int width, int height), {
    const canvas = Module.canvas;
    if (!canvas) return;
    const ctx = canvas.getContext('2d');
    const data = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    ctx.putImageData(new ImageData(data, width, height), 0, 0);
});
// clang-format on

// clang-format off
EM_JS(void, js_message_box, (const char* caption, const char* text), {
    // The page's own modal dialog (web/index.html); it calls back when the
    // player closes it. A page without one gets the browser's box.
    if (Module.tessaloomMessageBox) {
        Module.tessaloomMessageBox(UTF8ToString(caption), UTF8ToString(text));
    } else {
        alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text));
        Module._tessaloom_web_message_box_closed();
    }
});
// clang-format on

// clang-format off
EM_JS(int, js_scale_limit, (int width, int height),
      { return Math.max(1, Math.floor(Math.min(window.innerWidth / width, window.innerHeight / height))); });
// clang-format on

// clang-format off
EM_JS(void, js_fullscreen, (int on), {
    // Browsers allow this only during a player's gesture; a refusal leaves
    // the page as it is.
    try {
        if (on && !document.fullscreenElement && Module.canvas.requestFullscreen)
            Module.canvas.requestFullscreen().catch(function() {});
        else if (!on && document.fullscreenElement)
            document.exitFullscreen().catch(function() {});
    } catch (e) {
    }
});
// clang-format on

// clang-format off
EM_JS(int, js_active, (), { return document.hasFocus() && !document.hidden ? 1 : 0; });
// clang-format on

std::unique_ptr<platform::SoundSource> loadSource(const std::string& path)
{
    const char* reason = nullptr;
    std::unique_ptr<platform::SoundSource> source = platform::loadSoundSource(path, &reason);
    // The page's audio runs at the rate of the game's own files.
    if (source && source->rate() != static_cast<std::uint32_t>(OutputRate)) {
        reason = "not at 44100 Hz";
        source.reset();
    }
    if (!source) {
        if (reason) std::fprintf(stderr, "tessaloom: skipping the sound file %s: %s\n", path.c_str(), reason);
        return nullptr;
    }
    return source;
}

}  // namespace

// Web Audio's callback: the next frames of the mix, interleaved stereo.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* tessaloom_web_mix(int frames)
{
    if (frames <= 0) return nullptr;
    mixBlock.resize(static_cast<std::size_t>(frames) * 2);
    if (mixer.mix(mixBlock.data(), static_cast<std::size_t>(frames))) bgmRestart = true;
    return mixBlock.data();
}

// The page's dialog was closed.
extern "C" EMSCRIPTEN_KEEPALIVE void tessaloom_web_message_box_closed()
{
    if (boxesOpen > 0) --boxesOpen;
}

namespace web {

void useScriptedClock(std::uint32_t ms)
{
    scripted = true;
    scriptedClock = ms;
    for (auto& k : keys)
        k.clear();
}
void advanceScriptedClock(std::uint32_t ms) { scriptedClock += ms; }
void scriptKeyDown(platform::Key key, bool repeat) { keys[static_cast<std::size_t>(key)].keyDown(repeat); }
void scriptKeyUp(platform::Key key) { keys[static_cast<std::size_t>(key)].keyUp(); }

bool messageBoxOpen() { return boxesOpen > 0; }
const std::vector<ShownMessageBox>& shownMessageBoxes() { return boxesShown; }

}  // namespace web

namespace platform {

void setKeyBindings(const KeyBindings& b)
{
    // A key held under the old bindings lets go, so none sticks.
    for (auto& k : keys)
        k.keyUp();
    bindings = b;
    for (int k = 0; k < KeyCount; ++k)
        js_show_key(k, keyCapName(b.caps[static_cast<std::size_t>(k)]).c_str());
}
int takePressedCap() { return std::exchange(pressedCap, NoCap); }
// The page reads no controllers.
int takePressedButton() { return NoButton; }

KeyState queryKey(Key key) { return keys[static_cast<std::size_t>(key)].query(); }

void ignoreHeldKey(Key key) { keys[static_cast<std::size_t>(key)].ignoreHeld(); }

char takeTypedLetter() { return typedLetters.take(); }

std::uint32_t milliseconds()
{
    if (scripted) return scriptedClock;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

TimerCaps timerCaps() { return TimerCaps{1, 1000000}; }
void beginTimerPeriod(std::uint32_t) {}
void endTimerPeriod(std::uint32_t) {}

void messageBox(const std::string& text, const std::string& caption)
{
    boxesShown.push_back(web::ShownMessageBox{caption, text});
    ++boxesOpen;
    js_message_box(caption.c_str(), text.c_str());
}

bool openWindow(const std::string&, int, int, int width, int height, std::string& error)
{
    if (emscripten_set_canvas_element_size("#canvas", width, height) != EMSCRIPTEN_RESULT_SUCCESS) {
        error = "the page has no canvas";
        return false;
    }
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    windowOpen = true;
    return true;
}

// The page has no event loop of its own to serve and no frame thread.
void runEventLoop() {}
void frameThreadFinished() {}
void closeWindow() { windowOpen = false; }

WindowId mainWindow() { return windowOpen ? 1 : NoWindow; }

bool presentFrame(WindowId window, const std::uint8_t* pixels, int width, int height, bool unchanged)
{
    if (window == NoWindow || window != mainWindow() || !pixels || width <= 0 || height <= 0) return false;
    if (unchanged) return true;
    toCanvasRgba(pixels, width, height, rgba);
    js_put_frame(rgba.data(), width, height);
    return true;
}

// The frame is copied at once, so nothing reads it later.
void releaseFrame(WindowId) {}

// The page shows the canvas at the largest whole factor that fits (its
// style sheet and script); a chosen size has nothing to size.
void setWindowSize(int) { js_fullscreen(0); }

int windowSizeLimit() { return 2 * (windowOpen ? js_scale_limit(640, 480) : 1); }

void setSharpScaling(bool) {}

void setFullscreen(bool on) { js_fullscreen(on ? 1 : 0); }

// A script plays as the headless runner does: always in front.
bool windowActive() { return scripted || js_active() != 0; }

bool running() { return isRunning; }
void requestQuit() { isRunning = false; }

bool takeBgmRestartRequest()
{
    const bool was = bgmRestart;
    bgmRestart = false;
    return was;
}

// The page's frame callback keeps the rhythm; nothing may wait here.
void pauseFrame(std::uint32_t) {}
void setKeyEndsPause(bool) {}

struct LoadedSound {
    std::unique_ptr<SoundSource> source;
};

void LoadedSoundFree::operator()(LoadedSound* sound) const { delete sound; }

LoadedSoundPtr loadSound(const std::string& path)
{
    std::unique_ptr<SoundSource> source = loadSource(path);
    if (!source) return nullptr;
    return LoadedSoundPtr(new LoadedSound{std::move(source)});
}

// The page's audio starts with the player's first key (js_start_audio).
void startAudio() {}

SoundHandle openSound(LoadedSoundPtr sound)
{
    if (!sound) return NoSound;
    int free = -1;
    for (int v = 0; v < MixerVoices && free < 0; ++v)
        if (!mixer.isOpen(v)) free = v;
    if (free < 0) return NoSound;
    mixer.open(free, std::move(sound->source));
    mixer.takeEnded(free);
    return free;
}

bool playSound(SoundHandle sound, bool reportEnd) { return mixer.play(sound, reportEnd); }
bool stopSound(SoundHandle sound) { return mixer.stop(sound); }
bool closeSound(SoundHandle sound) { return mixer.close(sound); }

bool setSoundVolume(SoundHandle sound, int percent)
{
    if (!mixer.isOpen(sound)) return false;
    const int clamped = std::max(0, std::min(100, percent));
    return mixer.setVolume(sound, clamped * MixerMaxVolume / 100);
}

void pauseSounds(bool paused) { mixer.setPaused(paused); }

std::string executablePath() { return web::GameFolder + std::string("tessaloom"); }

}  // namespace platform
