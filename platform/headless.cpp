// Headless platform: everything the game asks of the machine, answered from
// plain state that tests script and inspect.
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/key_bindings.h"
#include "platform/key_latch.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>
#include <unistd.h>

namespace {

struct SoundSlot {
    std::string path;
    bool open = false;
    bool playing = false;
    bool reportEnd = false;
    int volume = 100;
};

struct State {
    std::array<platform::KeyLatch, platform::KeyCount> keys;
    platform::TypedLetters typed;
    std::uint32_t clock = 1;
    std::vector<headless::MessageBoxRecord> boxes;
    headless::Frame frame;
    int framesPresented = 0;
    int falseUnchangedClaims = 0;
    int unchangedFrames = 0;
    bool keyEndsPause = false;
    std::vector<headless::AudioEvent> audio;
    std::vector<SoundSlot> sounds;
    bool audioAvailable = true;
    bool displayAvailable = true;
    bool windowOpen = true;
    bool running = true;
    bool bgmRestart = true;
    std::vector<std::uint32_t> pauses;
    std::vector<std::uint32_t> periodsBegun;
    std::vector<std::uint32_t> periodsEnded;
    std::string exePath;
    bool exePathSet = false;
    bool soundsPaused = false;
    int windowSize = 2;
    int windowSizeLimit = 2;
    bool sharpScaling = false;
    bool fullscreen = false;
    bool windowActive = true;
    platform::KeyBindings bindings = platform::KeyBindings::defaults();
    int pressedCap = platform::NoCap;
    int pressedButton = platform::NoButton;
    std::map<int, platform::Key> capsDown;  // the game key each cap pressed
};

State& state()
{
    static State s;
    return s;
}

SoundSlot* slot(platform::SoundHandle h)
{
    State& s = state();
    if (h < 0 || h >= static_cast<int>(s.sounds.size()) || !s.sounds[h].open) return nullptr;
    return &s.sounds[h];
}

}  // namespace

namespace platform {

KeyState queryKey(Key key) { return state().keys[static_cast<int>(key)].query(); }

void setKeyBindings(const KeyBindings& bindings) { state().bindings = bindings; }
int takePressedCap() { return std::exchange(state().pressedCap, NoCap); }
int takePressedButton() { return std::exchange(state().pressedButton, NoButton); }
void ignoreHeldKey(Key key) { state().keys[static_cast<int>(key)].ignoreHeld(); }

char takeTypedLetter() { return state().typed.take(); }

std::uint32_t milliseconds() { return state().clock; }

TimerCaps timerCaps() { return TimerCaps{1, 1000000}; }
void beginTimerPeriod(std::uint32_t period) { state().periodsBegun.push_back(period); }
void endTimerPeriod(std::uint32_t period) { state().periodsEnded.push_back(period); }

void messageBox(const std::string& text, const std::string& caption)
{
    state().boxes.push_back({text, caption});
    std::fprintf(stderr, "message box [%s] %s\n", caption.c_str(), text.c_str());
}

bool openWindow(const std::string&, int, int, int, int, std::string& error)
{
    State& s = state();
    if (!s.displayAvailable) {
        error = "no display";
        s.windowOpen = false;
        return false;
    }
    s.windowOpen = true;
    return true;
}

void runEventLoop() {}
void releaseFrame(WindowId) {}
void frameThreadFinished() {}
void closeWindow() { state().windowOpen = false; }

WindowId mainWindow() { return state().windowOpen ? 1 : NoWindow; }

bool presentFrame(WindowId window, const std::uint8_t* pixels, int width, int height, bool unchanged)
{
    State& s = state();
    if (window == NoWindow || window != mainWindow() || !pixels || width <= 0 || height <= 0) return false;
    // The record is a copy all the same, so a claim of an unchanged picture
    // can be checked against it.
    if (unchanged) ++s.unchangedFrames;
    if (unchanged && (width != s.frame.width || height != s.frame.height ||
                      !std::equal(s.frame.pixels.begin(), s.frame.pixels.end(), pixels)))
        ++s.falseUnchangedClaims;
    s.frame.width = width;
    s.frame.height = height;
    s.frame.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 3);
    ++s.framesPresented;
    return true;
}

bool running() { return state().running; }
void requestQuit() { state().running = false; }

bool takeBgmRestartRequest()
{
    const bool was = state().bgmRestart;
    state().bgmRestart = false;
    return was;
}

void pauseFrame(std::uint32_t ms)
{
    state().pauses.push_back(ms);
    state().clock += ms;
}

void setKeyEndsPause(bool on) { state().keyEndsPause = on; }

struct LoadedSound {
    std::string path;
};

void LoadedSoundFree::operator()(LoadedSound* sound) const { delete sound; }

// Touches no state: safe on any thread, as the real one is.
LoadedSoundPtr loadSound(const std::string& path)
{
    // The same file rules as the real platform: regular files, capped.
    std::vector<unsigned char> bytes;
    if (!readSoundFile(path, bytes)) return nullptr;
    return LoadedSoundPtr(new LoadedSound{path});
}

void startAudio() {}

SoundHandle openSound(LoadedSoundPtr sound)
{
    State& s = state();
    if (!sound || !s.audioAvailable) return NoSound;
    s.sounds.push_back(SoundSlot{sound->path, true, false, false});
    const SoundHandle h = static_cast<SoundHandle>(s.sounds.size() - 1);
    s.audio.push_back({headless::AudioOp::Open, h, sound->path, false});
    return h;
}

bool playSound(SoundHandle sound, bool reportEnd)
{
    SoundSlot* sl = slot(sound);
    if (!sl) return false;
    sl->playing = true;
    sl->reportEnd = reportEnd;
    state().audio.push_back({headless::AudioOp::Play, sound, sl->path, reportEnd});
    return true;
}

bool stopSound(SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    if (!sl) return false;
    sl->playing = false;
    state().audio.push_back({headless::AudioOp::Stop, sound, sl->path, false});
    return true;
}

bool closeSound(SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    if (!sl) return false;
    sl->playing = false;
    sl->open = false;
    state().audio.push_back({headless::AudioOp::Close, sound, sl->path, false});
    return true;
}

bool setSoundVolume(SoundHandle sound, int percent)
{
    SoundSlot* sl = slot(sound);
    if (!sl) return false;
    sl->volume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    return true;
}

void pauseSounds(bool paused) { state().soundsPaused = paused; }

void setWindowSize(int halves)
{
    State& s = state();
    // The comfortable default of a small desktop: 1x; no larger than the limit.
    s.windowSize = halves <= 0 ? 2 : halves > s.windowSizeLimit ? s.windowSizeLimit : halves;
    s.fullscreen = false;
}

int windowSizeLimit() { return state().windowSizeLimit; }
void setSharpScaling(bool on) { state().sharpScaling = on; }
void setFullscreen(bool on) { state().fullscreen = on; }
bool windowActive() { return state().windowActive; }

std::string executablePath()
{
    State& s = state();
    if (s.exePathSet) return s.exePath;
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace platform

namespace headless {

void reset()
{
    State& s = state();
    for (auto& k : s.keys)
        k.clear();
    while (s.typed.take() != 0) {
    }
    s.clock = 1;
    s.boxes.clear();
    s.frame = Frame{};
    s.framesPresented = 0;
    s.falseUnchangedClaims = 0;
    s.unchangedFrames = 0;
    s.keyEndsPause = false;
    s.audio.clear();
    s.sounds.clear();
    s.audioAvailable = true;
    s.displayAvailable = true;
    s.windowOpen = true;
    s.running = true;
    s.bgmRestart = true;
    s.pauses.clear();
    s.periodsBegun.clear();
    s.periodsEnded.clear();
    s.exePath.clear();
    s.exePathSet = false;
    s.soundsPaused = false;
    s.windowSize = 2;
    s.windowSizeLimit = 2;
    s.sharpScaling = false;
    s.fullscreen = false;
    s.windowActive = true;
    s.bindings = platform::KeyBindings::defaults();
    s.pressedCap = platform::NoCap;
    s.pressedButton = platform::NoButton;
    s.capsDown.clear();
}

void press(platform::Key key) { state().keys[static_cast<int>(key)].keyDown(false); }
void release(platform::Key key) { state().keys[static_cast<int>(key)].keyUp(); }
void repeat(platform::Key key) { state().keys[static_cast<int>(key)].keyDown(true); }
void typeLetter(char letter) { state().typed.type(letter); }

void pressCap(int cap)
{
    State& s = state();
    s.pressedCap = cap;
    platform::Key key;
    if (!s.bindings.keyForCap(cap, key)) return;
    s.capsDown[cap] = key;
    press(key);
}

void releaseCap(int cap)
{
    State& s = state();
    const auto down = s.capsDown.find(cap);
    if (down == s.capsDown.end()) return;
    release(down->second);
    s.capsDown.erase(down);
}

void pressButton(int button)
{
    State& s = state();
    s.pressedButton = button;
    platform::Key key;
    if (s.bindings.keyForButton(button, key)) press(key);
}

const platform::KeyBindings& keyBindings() { return state().bindings; }

void setClock(std::uint32_t ms) { state().clock = ms; }
void advanceClock(std::uint32_t ms) { state().clock += ms; }

const std::vector<MessageBoxRecord>& messageBoxes() { return state().boxes; }
void clearMessageBoxes() { state().boxes.clear(); }

const Frame& lastFrame() { return state().frame; }
int framesPresented() { return state().framesPresented; }
int falseUnchangedClaims() { return state().falseUnchangedClaims; }
int unchangedFrames() { return state().unchangedFrames; }
bool keyEndsPause() { return state().keyEndsPause; }

const std::vector<AudioEvent>& audioLog() { return state().audio; }
void clearAudioLog() { state().audio.clear(); }

std::string soundPath(platform::SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    return sl ? sl->path : std::string();
}

bool soundPlaying(platform::SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    return sl && sl->playing;
}

void finishSound(platform::SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    if (!sl || !sl->playing) return;
    sl->playing = false;
    if (sl->reportEnd) state().bgmRestart = true;
}

void setAudioAvailable(bool available) { state().audioAvailable = available; }
void setDisplayAvailable(bool available) { state().displayAvailable = available; }

const std::vector<std::uint32_t>& pauses() { return state().pauses; }
const std::vector<std::uint32_t>& timerPeriodsBegun() { return state().periodsBegun; }
const std::vector<std::uint32_t>& timerPeriodsEnded() { return state().periodsEnded; }

void setExecutablePath(const std::string& path)
{
    state().exePath = path;
    state().exePathSet = true;
}

bool bgmRestartPending() { return state().bgmRestart; }

int soundVolume(platform::SoundHandle sound)
{
    SoundSlot* sl = slot(sound);
    return sl ? sl->volume : -1;
}

bool soundsPaused() { return state().soundsPaused; }

void setWindowSizeLimit(int halves) { state().windowSizeLimit = halves < 2 ? 2 : halves; }
int windowSize() { return state().windowSize; }
bool sharpScaling() { return state().sharpScaling; }
bool fullscreen() { return state().fullscreen; }
void setWindowActive(bool active) { state().windowActive = active; }

}  // namespace headless
