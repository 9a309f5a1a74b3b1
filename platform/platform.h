// The game's only door to the machine: keys, clock, message box, window
// frames, audio, and the two flags the frame loop shares with the window.
// One implementation runs on SDL (the game), one is headless (the tests);
// the executable picks one at link time. These functions never call back
// into the game.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// ---- Keys -----------------------------------------------------------------

// The design's seven keys, then the extras: P pause (P, a gamepad's Start),
// Escape (pause; leaves the options and the ranking), M mute, O options (O,
// a gamepad's Y), Fullscreen (F11, Alt+Enter), Enter (Enter without Alt) and
// Space (both decide where Z does, outside play), Backspace (back one letter
// in the name entry). A gamepad's D-pad and left stick read as the arrows, A
// as Z, B as C, Back as Q; keyboard and gamepad work together.
enum class Key { Left, Right, Up, Down, Z, C, Q, P, Escape, M, O, Fullscreen, Enter, Space, Backspace };
constexpr int KeyCount = 15;

// One reading of a key: down at this moment, and pressed (a real key-down,
// not auto-repeat) since the previous query of the same key.
struct KeyState {
    bool down = false;
    bool pressedSinceLastQuery = false;
};

// Reads the key and consumes its "pressed since" mark.
KeyState queryKey(Key key);

// Down now (the mark is consumed all the same, as every query does).
inline bool keyHeld(Key key) { return queryKey(key).down; }

// Down now and pressed since the previous query of this key.
inline bool keyNewlyPressed(Key key)
{
    const KeyState s = queryKey(key);
    return s.down && s.pressedSinceLastQuery;
}

// ---- Key bindings ------------------------------------------------------------

struct KeyBindings;  // platform/key_bindings.h

// The keyboard keys and controller buttons that stand for the game's keys
// from now on (until the first call, KeyBindings::defaults()). A key held
// meanwhile stays with the game's key it pressed until it is let go.
void setKeyBindings(const KeyBindings& bindings);
// For choosing a new key: the cap (KeyCap) of the keyboard key, or the
// controller button, pressed last since the previous call of the same
// function; NoCap or NoButton when none. A press acts as a key as well, and
// is reported here before its key is marked pressed.
int takePressedCap();
int takePressedButton();
// The key, if down now, reads as up (no press either) until it is let go:
// a screen that has just opened ignores the keys held from the screen
// before.
void ignoreHeldKey(Key key);

// The oldest letter typed since the previous call, 'A'..'Z' as the
// player's keyboard layout prints it (Shift or not; auto-repeat and letters
// typed with Ctrl, Alt or a logo key do not count); 0 when there is none.
// A few letters wait at most; more are dropped.
char takeTypedLetter();

// ---- Clock ------------------------------------------------------------------

// Monotonic milliseconds truncated to 32 bits; wraps after about 49.7 days.
std::uint32_t milliseconds();

struct TimerCaps {
    std::uint32_t minPeriod = 1;
    std::uint32_t maxPeriod = 1000000;
};
// Timer resolution: Linux needs no raised period, so the SDL side only
// reports 1 ms and ignores begin/end; the headless side records them.
TimerCaps timerCaps();
void beginTimerPeriod(std::uint32_t period);
void endTimerPeriod(std::uint32_t period);

// ---- Message box --------------------------------------------------------------

// Shows text with caption and one OK button; blocks the caller until closed.
void messageBox(const std::string& text, const std::string& caption);

// ---- Window and frames ------------------------------------------------------------

using WindowId = int;
constexpr WindowId NoWindow = 0;

// Main thread: opens the one window (client area width x height at x, y;
// the player may resize and maximise it, never below that size). Returns false and a one-line reason when there is no display.
bool openWindow(const std::string& caption, int x, int y, int width, int height, std::string& error);
// Main thread: serves window events, frames and message boxes until the frame
// thread calls frameThreadFinished().
void runEventLoop();
// Frame thread: tells the main thread that the game has been torn down.
void frameThreadFinished();
// Main thread: closes the window and the platform.
void closeWindow();

// The open window, NoWindow when none.
WindowId mainWindow();

// Hands a finished picture to the window: width x height pixels, bytes blue,
// green, red, rows bottom-up, stride width x 3. The window reads the bytes
// later, without copying them first: they must stay as they are until the
// next presentFrame or releaseFrame. With unchanged, the picture is the one
// handed over last (the caller knows it drew the same), and the window has
// nothing to do. Returns false when the window is not there.
bool presentFrame(WindowId window, const std::uint8_t* pixels, int width, int height, bool unchanged = false);
// The window stops reading the picture handed over last (it keeps showing
// it); returns once it no longer reads it. For the owner of the bytes
// before it frees them.
void releaseFrame(WindowId window);

// ---- Window size and focus --------------------------------------------------------

// Requests from the frame thread, carried out by the main thread soon after.
// The picture stays width x height logically; the window shows it centred on
// black at the largest step that fits (1x, 1.5x, 2x, 3x, ...: see
// platform/window_fit.h), sharp, or with sharp scaling on as large as fits.
// Sizes are counted in half factors: 2 is 1x, 3 is 1.5x, 4 is 2x.

// A window of the picture's size times halves / 2. 0 asks for the
// comfortable default: the largest whole factor whose window takes at most
// nine tenths of the desktop's usable area, else 1.5x when that fits so,
// else 1x. Leaves fullscreen.
void setWindowSize(int halves);
// The largest step whose window fits the desktop's usable area, in half
// factors (at least 2, 1x); 2 when there is no window.
int windowSizeLimit();
// Whether a window larger than a step shows the picture as large as it
// fits at any factor (on) or at the largest step (off, the default).
void setSharpScaling(bool on);
// Desktop fullscreen on or off.
void setFullscreen(bool on);
// False while the window has lost the input focus or is minimised.
bool windowActive();

// ---- Frame loop flags ------------------------------------------------------------

// True until shutdown begins (window closed, SIGTERM or requestQuit()).
bool running();
// The quit scene's request: ends the frame loop after the current frame.
void requestQuit();
// True once for each request to restart the selected music (set at start
// and by the natural end of a sound played with reportEnd).
bool takeBgmRestartRequest();
// Waits ms milliseconds; returns early as soon as shutdown begins, and with
// setKeyEndsPause(true) as soon as a key is newly pressed (or at once when
// one was since the last pause began).
void pauseFrame(std::uint32_t ms);
// Whether a newly pressed key ends the frame pause, so that the frame that
// reads it runs at once. Off unless set: every frame then comes one whole
// pause after the one before, as the game has always run.
void setKeyEndsPause(bool on);

// ---- Audio ----------------------------------------------------------------------

using SoundHandle = int;
constexpr SoundHandle NoSound = -1;

// A sound file read and checked, not yet given to the audio device. Each
// platform defines its own; LoadedSoundPtr frees it.
struct LoadedSound;
struct LoadedSoundFree {
    void operator()(LoadedSound* sound) const;
};
using LoadedSoundPtr = std::unique_ptr<LoadedSound, LoadedSoundFree>;

// The file half of opening a sound, safe on any thread: reads and checks the
// file by the rules of every file the game reads, and touches neither the
// audio device nor anything the other sound calls use. Null when the file
// is missing or unreadable; one that is there but refused is named on
// stderr.
LoadedSoundPtr loadSound(const std::string& path);
// Starts the audio device now, on any thread, so that the first openSound
// does not wait for it; opening a sound starts it too when nobody has. Only
// the first call does anything; a machine without sound gets one line on
// stderr. Playing, stopping, closing and pausing sounds never wait for it.
void startAudio();
// Gives a loaded sound to the audio device (starting it on first use).
// NoSound for a null sound or when there is no audio device.
SoundHandle openSound(LoadedSoundPtr sound);
// Loads one sound file, once: loadSound and openSound in one.
inline SoundHandle openSound(const std::string& path) { return openSound(loadSound(path)); }
// Starts the sound from its beginning (restarting it when it plays). With
// reportEnd, a natural end of this play raises the music-restart request;
// ends caused by stopSound, a restart or closeSound never do.
bool playSound(SoundHandle sound, bool reportEnd);
// Stops the sound if it plays. False for a closed handle.
bool stopSound(SoundHandle sound);
// Stops and frees the sound. False for a closed handle.
bool closeSound(SoundHandle sound);
// The sound's volume, 0..100 percent (100 at opening), kept across plays.
// False for a closed handle.
bool setSoundVolume(SoundHandle sound, int percent);
// Holds every playing sound where it is, or lets them go on. A sound started
// while paused waits too.
void pauseSounds(bool paused);

// ---- Process ----------------------------------------------------------------------

// Real path of the running executable; empty when it cannot be told.
std::string executablePath();

}  // namespace platform
