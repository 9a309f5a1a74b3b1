// Control of the headless platform, for tests and the replay tools: scripted
// keys, a clock the caller sets, and records of message boxes, frames,
// sounds and pauses. Single-threaded use only.
#pragma once

#include "platform/key_bindings.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace headless {

// Back to a fresh start: clock at 1 ms, no keys down, no records, running,
// music restart requested, window open and active at scale 1, audio
// available and not paused.
void reset();

// A key-down event (marks the key pressed) or a key-up event.
void press(platform::Key key);
void release(platform::Key key);
// An auto-repeat key-down: the key stays down and is not marked pressed.
void repeat(platform::Key key);
// A letter typed, as the layout prints it (the key itself is pressed apart).
void typeLetter(char letter);

// A keyboard key by its cap (platform::KeyCap) or a controller button: it
// is what takePressedCap / takePressedButton report next, and presses the
// game's key it is bound to, if any. releaseCap lets go of the game key the
// press went to, as a keyboard does, even when the bindings changed between.
void pressCap(int cap);
void releaseCap(int cap);
void pressButton(int button);
// The bindings the game set last (the defaults after reset()).
const platform::KeyBindings& keyBindings();

void setClock(std::uint32_t ms);
void advanceClock(std::uint32_t ms);

struct MessageBoxRecord {
    std::string text;
    std::string caption;
};
const std::vector<MessageBoxRecord>& messageBoxes();
void clearMessageBoxes();

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // as handed over: BGR, bottom-up
};
const Frame& lastFrame();
int framesPresented();
// Frames handed over as unchanged whose pixels differed from the last
// frame's: a renderer that claims so wrongly would leave a stale picture on
// the screen.
int falseUnchangedClaims();
// Frames handed over as unchanged (rightly or not).
int unchangedFrames();
// What the game last asked of platform::setKeyEndsPause (the scripted
// pauses are never cut short).
bool keyEndsPause();

enum class AudioOp { Open, Play, Stop, Close };
struct AudioEvent {
    AudioOp op;
    platform::SoundHandle sound;
    std::string path;
    bool reportEnd;
};
const std::vector<AudioEvent>& audioLog();
void clearAudioLog();
// The file a handle was opened on ("" for none) and whether it plays now.
std::string soundPath(platform::SoundHandle sound);
bool soundPlaying(platform::SoundHandle sound);
// The sound reaches its natural end.
void finishSound(platform::SoundHandle sound);
// Without audio every openSound fails, as with no sound card.
void setAudioAvailable(bool available);
// Without a display openWindow fails.
void setDisplayAvailable(bool available);

// Every pauseFrame so far; each one also advances the clock by its length.
const std::vector<std::uint32_t>& pauses();

// Timer periods begun and ended, in call order.
const std::vector<std::uint32_t>& timerPeriodsBegun();
const std::vector<std::uint32_t>& timerPeriodsEnded();

// What executablePath() reports (default: the real test executable).
void setExecutablePath(const std::string& path);

// Peeks at the music-restart request without taking it.
bool bgmRestartPending();

// A handle's volume in percent, -1 for a closed handle; whether sounds are
// held by pauseSounds.
int soundVolume(platform::SoundHandle sound);
bool soundsPaused();

// The window: the largest size the desktop takes in half factors (default
// 2, 1x), the size, sharp scaling and fullscreen last asked for, and the
// focus (default: active).
void setWindowSizeLimit(int halves);
int windowSize();
bool sharpScaling();
bool fullscreen();
void setWindowActive(bool active);

}  // namespace headless
