// SDL platform: the window, its event loop, frame presentation, keys and the
// message box. Every SDL video call stays on the main thread; the frame
// thread only hands pictures and message-box requests over through shared
// state and the main thread's wake-up pipe, and waits where it has to.
//
// The frame thread never pushes SDL events: SDL wakes a waiting
// SDL_WaitEvent by sending an X event to the window over a second display
// connection, and one still in flight when the window is destroyed comes
// back as a BadWindow error that ends the process. The main thread instead
// waits in poll() on the display connection and the wake-up pipe.
#include "platform/files.h"
#include "platform/key_bindings.h"
#include "platform/key_latch.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/sdl_internal.h"
#include "platform/sharp_scale.h"

#include <SDL.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A display whose connection the loop can watch needs no timeout but one
// that catches what nothing announces (SDL's SIGTERM flag); any other is
// served every 10 ms.
constexpr int WatchedWaitMs = 100;
constexpr int UnwatchedWaitMs = 10;
// Nothing announces a controller's input to poll(): while one is open the
// loop looks every few milliseconds.
constexpr int GamepadWaitMs = 4;
// Opening the display is tried again for about this long while the display
// is there but refuses the connection for the moment.
constexpr auto DisplayRetryTime = std::chrono::seconds(2);
constexpr auto DisplayRetryPause = std::chrono::milliseconds(50);
// An X server answers a new connection at once, and a slow remote one well
// within this; one that takes the connection and never answers (stopped,
// hung, a dead forwarded connection) is given up after it.
constexpr auto DisplayAnswerTime = std::chrono::seconds(10);
// A window manager still starting up can lose the request to show the
// window, which then stays hidden: until it first shows, the window is
// asked for again this often. Opening waits this long for it, then the game
// starts anyway while the event loop goes on asking.
constexpr auto ShowAskAgainAfter = std::chrono::seconds(1);
constexpr auto ShowWaitAtOpen = std::chrono::seconds(3);
constexpr int ShowWaitStepMs = 50;

// Main-thread state.
struct Video {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    int pictureWidth = 0;  // the picture's own size
    int pictureHeight = 0;
    bool textureIsXrgb = false;  // 32-bit X, R, G, B words, else BGR24 bytes
    // The picture at a factor that is not whole: made sharp here, from the
    // picture as X, R, G, B words, into a texture of the size it shows at.
    SDL_Texture* scaled = nullptr;
    int scaledWidth = 0;
    int scaledHeight = 0;
    std::vector<Uint32> words;
    int wordsWidth = 0;
    int wordsHeight = 0;
    platform::SharpScaler scaler;
    // Which picture the texture, the words and the scaled texture hold,
    // counted as they are taken.
    unsigned pictureCount = 0;
    unsigned textureHolds = 0;
    unsigned wordsHold = 0;
    unsigned scaledHolds = 0;
    std::thread::id mainThread;
    // Once shown, a hidden window is the player's doing (minimised).
    bool everShown = false;
    std::chrono::steady_clock::time_point showAsked;
};
Video video;

// Read by the frame thread.
std::atomic<platform::WindowId> windowId{platform::NoWindow};
std::atomic<bool> frameThreadDone{false};

std::array<platform::KeyLatch, platform::KeyCount> keys;
platform::TypedLetters typedLetters;

// A letter key's press types the letter the layout gives it (its keycode),
// for the name entry; the key goes on to act as a game key as well.
void typeLetter(const SDL_KeyboardEvent& e)
{
    const SDL_Keycode sym = e.keysym.sym;
    if (e.repeat || (e.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) || sym < SDLK_a || sym > SDLK_z)
        return;
    typedLetters.type(static_cast<char>('a' + (sym - SDLK_a)));
}

// The newest picture from the frame thread, in the frame thread's own
// buffer, waiting for the main thread. The main thread reads it under the
// mutex, so a hand-over or release waits for a read in progress and then
// knows the old buffer is free.
struct PendingFrame {
    std::mutex mutex;
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    bool fresh = false;
};
// The main thread always takes the newest picture, so a slow main thread
// skips frames instead of queueing them.
PendingFrame pending;

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    std::mutex mutex;
    std::condition_variable closed;
    bool done = false;
};

// The frame thread's message box waiting for the main thread; it lives on
// the frame thread's stack until `done`.
std::mutex boxMutex;
MessageBoxRequest* boxRequest = nullptr;

void showMessageBoxNow(const std::string& text, const std::string& caption)
{
    // No owner window, one OK button. Without a display the call fails
    // quickly; the report must not be lost, so it goes to stderr.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), nullptr) != 0)
        std::fprintf(stderr, "message box [%s] %s\n", caption.c_str(), text.c_str());
}

// ---- Keyboard --------------------------------------------------------------
// A key acts by what its cap prints: a letter key by the letter the
// player's layout puts on it (on a French keyboard the key printed Z turns
// and the one printed A is no Q), and, under a layout without Latin letters
// (Cyrillic, say), by its place on a US keyboard, so Z is still where it
// was. Keys other than letters and digits act by their place. All of this
// runs on the main thread.

struct Keyboard {
    // Most letter keys of the layout type Latin letters; told again when the
    // player switches layouts.
    bool latinLayout = true;
    // The bindings in force, taken from the frame thread's latest.
    platform::KeyBindings bindings = platform::KeyBindings::defaults();
    // The game's key each keyboard key's press went to, so its release lets
    // go of that one even when the layout or the bindings changed between.
    std::array<int, SDL_NUM_SCANCODES> heldAs{};
};
Keyboard keyboard;

// Bindings handed over by the frame thread.
std::mutex bindingsMutex;
platform::KeyBindings newBindings;
bool bindingsFresh = false;

// The latest cap and button pressed, for choosing a new key.
std::atomic<int> pressedCap{platform::NoCap};
std::atomic<int> pressedButton{platform::NoButton};

void readLayout()
{
    int latin = 0;
    for (int s = SDL_SCANCODE_A; s <= SDL_SCANCODE_Z; ++s) {
        const SDL_Keycode k = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(s));
        if (k >= SDLK_a && k <= SDLK_z) ++latin;
    }
    keyboard.latinLayout = latin * 2 > SDLK_z - SDLK_a + 1;
}

// The named keys, by place.
int namedCap(SDL_Scancode scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_LEFT: return platform::CapLeft;
    case SDL_SCANCODE_RIGHT: return platform::CapRight;
    case SDL_SCANCODE_UP: return platform::CapUp;
    case SDL_SCANCODE_DOWN: return platform::CapDown;
    case SDL_SCANCODE_ESCAPE: return platform::CapEscape;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return platform::CapEnter;
    case SDL_SCANCODE_SPACE: return platform::CapSpace;
    case SDL_SCANCODE_BACKSPACE: return platform::CapBackspace;
    case SDL_SCANCODE_TAB: return platform::CapTab;
    default: break;
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return platform::CapF1 + (scancode - SDL_SCANCODE_F1);
    return platform::NoCap;
}

// What the key's cap prints, as the game names keys; NoCap for a key the
// game has no name for.
int capOf(const SDL_Keysym& keysym)
{
    if (const int named = namedCap(keysym.scancode)) return named;
    // SDL gives the number row digits on every layout.
    if (keysym.sym >= SDLK_0 && keysym.sym <= SDLK_9) return static_cast<int>(keysym.sym);
    if (keyboard.latinLayout) {
        if (keysym.sym >= SDLK_a && keysym.sym <= SDLK_z) return 'A' + (keysym.sym - SDLK_a);
        return platform::NoCap;
    }
    if (keysym.scancode >= SDL_SCANCODE_A && keysym.scancode <= SDL_SCANCODE_Z)
        return 'A' + (keysym.scancode - SDL_SCANCODE_A);
    return platform::NoCap;
}

// The game's key for a key-down, -1 for none.
int keyForPress(const SDL_Keysym& keysym)
{
    const int cap = capOf(keysym);
    platform::Key key;
    // Alt+Enter is fullscreen whatever F11's key is.
    if (cap == platform::CapEnter && (keysym.mod & KMOD_ALT))
        return static_cast<int>(platform::Key::Fullscreen);
    if (keyboard.bindings.keyForCap(cap, key)) return static_cast<int>(key);
    return -1;
}

void keyEvent(const SDL_KeyboardEvent& e)
{
    int& heldAs = keyboard.heldAs[static_cast<std::size_t>(e.keysym.scancode) % SDL_NUM_SCANCODES];
    if (e.type == SDL_KEYDOWN) typeLetter(e);
    if (e.type == SDL_KEYUP) {
        if (heldAs > 0) keys[static_cast<std::size_t>(heldAs - 1)].keyUp();
        heldAs = 0;
        return;
    }
    if (!e.repeat) {
        const int cap = capOf(e.keysym);
        if (cap != platform::NoCap) pressedCap.store(cap);
    }
    // A repeat goes where its press went.
    const int key = e.repeat && heldAs > 0 ? heldAs - 1 : keyForPress(e.keysym);
    if (heldAs > 0 && heldAs - 1 != key) keys[static_cast<std::size_t>(heldAs - 1)].keyUp();
    heldAs = key + 1;
    if (key >= 0) keys[static_cast<std::size_t>(key)].keyDown(e.repeat != 0);
    // After the latch: the frame it wakes must find the press.
    if (e.repeat == 0 && key >= 0) platform::sdlKeyPressed();
}

// The frame thread's new bindings, for the keyboard and the controllers.
void takeNewBindings()
{
    {
        std::lock_guard<std::mutex> lock(bindingsMutex);
        if (!bindingsFresh) return;
        bindingsFresh = false;
        keyboard.bindings = newBindings;
    }
    platform::sdlGamepadBindings(keyboard.bindings);
}

bool ensureTexture(int width, int height)
{
    if (video.texture && video.textureWidth == width && video.textureHeight == height) return true;
    if (video.texture) SDL_DestroyTexture(video.texture);
    // The window's own layout when it is 32-bit X, R, G, B (as on a 24-bit X
    // display): the renderer's copy to the window is then a plain copy of
    // rows instead of a conversion of every pixel.
    const Uint32 windowFormat = SDL_GetWindowPixelFormat(video.window);
    video.textureIsXrgb = windowFormat == SDL_PIXELFORMAT_RGB888 || windowFormat == SDL_PIXELFORMAT_ARGB8888;
    const Uint32 format = video.textureIsXrgb ? windowFormat : static_cast<Uint32>(SDL_PIXELFORMAT_BGR24);
    video.texture = SDL_CreateTexture(video.renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    video.textureWidth = video.texture ? width : 0;
    video.textureHeight = video.texture ? height : 0;
    return video.texture != nullptr;
}

// One row of bottom-up BGR bytes into X, R, G, B words or, without xrgb,
// the same bytes.
void convertRow(const std::uint8_t* from, std::uint8_t* to, int width, bool xrgb)
{
    if (!xrgb) {
        std::memcpy(to, from, static_cast<std::size_t>(width) * 3);
        return;
    }
    auto* out = reinterpret_cast<Uint32*>(to);
    for (int x = 0; x < width; ++x, from += 3)
        out[x] = 0xFF000000u | static_cast<Uint32>(from[2]) << 16 | static_cast<Uint32>(from[1]) << 8 |
                 from[0];
}

// Where the picture goes in the window's drawing area.
SDL_Rect pictureRect()
{
    int width = 0;
    int height = 0;
    if (SDL_GetRendererOutputSize(video.renderer, &width, &height) != 0) return SDL_Rect{0, 0, 0, 0};
    const platform::Area a = platform::sdlPictureArea(width, height);
    return SDL_Rect{a.x, a.y, a.width, a.height};
}

// At a whole factor the renderer repeats the picture's pixels itself.
bool atWholeFactor(const SDL_Rect& where, int width, int height)
{
    return width > 0 && height > 0 && where.w % width == 0 && where.h % height == 0 &&
           where.w / width == where.h / height;
}

// With pending's mutex held: the picture into the texture it shows from at
// its own size, flipped to top-down rows and in the texture's layout.
bool fillTexture()
{
    const int width = pending.width;
    const int height = pending.height;
    if (!ensureTexture(width, height)) return false;
    void* target = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(video.texture, nullptr, &target, &pitch) != 0) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    auto* dst = static_cast<std::uint8_t*>(target);
    for (int y = 0; y < height; ++y)
        convertRow(pending.pixels + static_cast<std::size_t>(height - 1 - y) * rowBytes,
                   dst + static_cast<std::size_t>(y) * pitch, width, video.textureIsXrgb);
    SDL_UnlockTexture(video.texture);
    return true;
}

// With pending's mutex held: the picture as X, R, G, B words, top-down,
// for the sharp scale, which then runs without holding up the frame thread.
void takeWords()
{
    const int width = pending.width;
    const int height = pending.height;
    video.words.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        convertRow(pending.pixels + static_cast<std::size_t>(height - 1 - y) * rowBytes,
                   reinterpret_cast<std::uint8_t*>(video.words.data() + static_cast<std::size_t>(y) * width),
                   width, true);
    video.wordsWidth = width;
    video.wordsHeight = height;
    video.wordsHold = video.pictureCount;
}

// The words scaled sharp into a texture of where's size.
void fillScaled(const SDL_Rect& where)
{
    if (video.wordsWidth <= 0 || video.wordsHeight <= 0) return;
    if (!video.scaled || video.scaledWidth != where.w || video.scaledHeight != where.h) {
        if (video.scaled) SDL_DestroyTexture(video.scaled);
        video.scaled = SDL_CreateTexture(video.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                         where.w, where.h);
        video.scaledWidth = video.scaled ? where.w : 0;
        video.scaledHeight = video.scaled ? where.h : 0;
        if (!video.scaled) return;
    }
    void* target = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(video.scaled, nullptr, &target, &pitch) != 0) return;
    video.scaler.scale(video.words.data(), video.wordsWidth, video.wordsHeight, static_cast<Uint32*>(target),
                       where.w, where.h, pitch / static_cast<int>(sizeof(Uint32)));
    SDL_UnlockTexture(video.scaled);
    video.scaledHolds = video.wordsHold;
}

// The texture the picture shows from at where, and whether it holds the
// newest picture at that size.
SDL_Texture* textureFor(const SDL_Rect& where, bool& current)
{
    if (atWholeFactor(where, video.pictureWidth, video.pictureHeight)) {
        current = video.textureHolds == video.pictureCount;
        return video.texture;
    }
    const bool sized = video.scaledWidth == where.w && video.scaledHeight == where.h;
    current = sized && video.scaledHolds == video.pictureCount;
    return sized ? video.scaled : nullptr;
}

// The newest picture into the texture it shows from at where. Reads the
// frame thread's picture, which stays until it hands over another or lets
// go of it, only when it has to.
void fillFor(const SDL_Rect& where)
{
    const bool whole = atWholeFactor(where, video.pictureWidth, video.pictureHeight);
    if (whole || video.wordsHold != video.pictureCount) {
        std::lock_guard<std::mutex> lock(pending.mutex);
        if (!pending.pixels) return;
        if (!whole)
            takeWords();
        else if (fillTexture())
            video.textureHolds = video.pictureCount;
    }
    if (!whole) fillScaled(where);
}

void showCurrentPicture()
{
    if (!video.renderer) return;
    const SDL_Rect where = pictureRect();
    bool current = false;
    SDL_Texture* texture = textureFor(where, current);
    if (!current) {
        // A new picture, size or way of scaling.
        fillFor(where);
        texture = textureFor(where, current);
    }
    SDL_SetRenderDrawColor(video.renderer, 0, 0, 0, 255);
    SDL_RenderClear(video.renderer);
    if (texture) SDL_RenderCopy(video.renderer, texture, nullptr, &where);
    SDL_RenderPresent(video.renderer);
}

// A new picture: counted, then copied once from the frame thread's buffer
// into the texture it shows from (at a factor that is not whole, into words
// that are then scaled). Unchanged pictures are never handed over, so there
// is nothing to compare.
void uploadNewestFrame()
{
    {
        std::lock_guard<std::mutex> lock(pending.mutex);
        if (!pending.fresh || !pending.pixels) return;
        pending.fresh = false;
        ++video.pictureCount;
    }
    showCurrentPicture();
}

void handleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_QUIT: platform::requestQuit(); return;
    case SDL_KEYDOWN:
    case SDL_KEYUP: keyEvent(e.key); return;
    case SDL_KEYMAPCHANGED: readLayout(); return;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) platform::requestQuit();
        platform::sdlWindowSizeEvent(e.window);
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            showCurrentPicture();
        return;
    default: platform::sdlGamepadEvent(e); return;
    }
}

// What the frame thread has handed over since the last wake-up.
void serveFrameThread()
{
    takeNewBindings();
    if (platform::sdlApplyWindowRequests()) showCurrentPicture();
    uploadNewestFrame();
    MessageBoxRequest* request = nullptr;
    {
        std::lock_guard<std::mutex> lock(boxMutex);
        std::swap(request, boxRequest);
    }
    if (!request) return;
    showMessageBoxNow(request->text, request->caption);
    // Notified under the lock: the request lives on the waiting frame
    // thread's stack and is gone as soon as that thread can see `done`.
    std::lock_guard<std::mutex> lock(request->mutex);
    request->done = true;
    request->closed.notify_all();
}

// Asks again to show a window that has never shown since the last request.
// Without a window manager nobody gives the shown window the keyboard, so
// it takes it, as SDL's own show does.
void keepAskingToShow()
{
    if (video.everShown || !video.window) return;
    if (SDL_GetWindowFlags(video.window) & SDL_WINDOW_SHOWN) {
        video.everShown = true;
        if (!platform::sdlWindowManagerPresent(video.window)) SDL_SetWindowInputFocus(video.window);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - video.showAsked < ShowAskAgainAfter) return;
    video.showAsked = now;
    platform::sdlAskToShow(video.window);
}

// Shows the new window, waiting a little for it as SDL's own show would,
// but never for good.
void showNewWindow()
{
    video.everShown = false;
    video.showAsked = std::chrono::steady_clock::now();
    platform::sdlAskToShow(video.window);
    const int displayFd = platform::sdlDisplayFd(video.window);
    const auto deadline = video.showAsked + ShowWaitAtOpen;
    for (;;) {
        SDL_PumpEvents();
        keepAskingToShow();
        if (video.everShown || displayFd < 0 || std::chrono::steady_clock::now() >= deadline) return;
        pollfd display = {displayFd, POLLIN, 0};
        ::poll(&display, 1, ShowWaitStepMs);
    }
}

// Sleeps until the display or the frame thread has something, or the
// timeout passes.
void waitForWork(int displayFd)
{
    // Events read along with an answer while the picture was shown wait in
    // Xlib's queue, where poll() cannot see them.
    SDL_PumpEvents();
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    pollfd watched[2] = {{platform::sdlWakeFd(), POLLIN, 0}, {displayFd, POLLIN, 0}};
    const bool allWatched = watched[0].fd >= 0 && displayFd >= 0;
    const int waitMs = allWatched ? WatchedWaitMs : UnwatchedWaitMs;
    ::poll(watched, 2, platform::sdlGamepadsOpen() ? std::min(waitMs, GamepadWaitMs) : waitMs);
}

bool isSet(const char* variable)
{
    const char* value = SDL_getenv(variable);
    return value && *value;
}

bool isHeadlessDriver(const char* driver)
{
    return !driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// What SDL's message lacks when it found no display: a hint at the
// variable, unless it is set.
const char* displayHint() { return isSet("DISPLAY") ? "" : " (is DISPLAY set?)"; }

// One try at SDL's video with a real display behind it.
bool startVideo(std::string& error)
{
    // Set on every try: SDL_Quit() forgets the hints.
    // The software renderer straight onto the window's frame buffer: faster
    // than software GL under a virtual display, and it loads no GL driver.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A HiDPI display scales the picture by whole steps, pixels kept sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open the game window (") + SDL_GetError() +
                "): a graphical display is needed" + displayHint();
        return false;
    }
    // Without DISPLAY, SDL quietly falls back to a driver that draws nowhere.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (isHeadlessDriver(driver)) {
        error = std::string("no display to open the game window on (video driver \"") +
                (driver ? driver : "none") + "\"): a graphical display is needed" + displayHint();
        SDL_Quit();
        return false;
    }
    return true;
}

// A busy X server refuses a connection now and then (while it starts afresh
// after its last client left, or with its listen queue full), and SDL then
// reports no display at all: the display is tried again for a while, as
// X11. A display that is not there, or that refuses the game for good (no
// cookie for it), fails at once. Each try first asks the X server itself,
// with a deadline: SDL would wait for good on one that never answers.
bool startVideoOnBusyDisplay(std::string& error)
{
    const char* driver = SDL_getenv("SDL_VIDEODRIVER");
    const bool x11 = isSet("DISPLAY") && (!driver || !*driver || std::strcmp(driver, "x11") == 0);
    const auto deadline = std::chrono::steady_clock::now() + DisplayRetryTime;
    for (;;) {
        int probed = -1;
        const platform::DisplayProbe probe = x11 ? platform::sdlProbeDisplay(DisplayAnswerTime, probed, error)
                                                 : platform::DisplayProbe::Usable;
        if (probe == platform::DisplayProbe::Failed) return false;
        const bool started = probe == platform::DisplayProbe::Usable && startVideo(error);
        if (probed >= 0) ::close(probed);
        if (started) return true;
        if (!x11 || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(DisplayRetryPause);
        // The display is there: no falling back to another driver.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
}

}  // namespace

namespace platform {

KeyState queryKey(Key key) { return keys[static_cast<int>(key)].query(); }

void ignoreHeldKey(Key key) { keys[static_cast<int>(key)].ignoreHeld(); }

char takeTypedLetter() { return typedLetters.take(); }

std::array<KeyLatch, KeyCount>& sdlKeyLatches() { return keys; }

void sdlNotePressedButton(int button) { pressedButton.store(button); }

void setKeyBindings(const KeyBindings& bindings)
{
    {
        std::lock_guard<std::mutex> lock(bindingsMutex);
        newBindings = bindings;
        bindingsFresh = true;
    }
    sdlWakeMainThread();
}

int takePressedCap() { return pressedCap.exchange(NoCap); }
int takePressedButton() { return pressedButton.exchange(NoButton); }

// Gives the window the game's icon from Graphics/Icon.bmp beside the
// executable, so task bars and switchers show it; silently none when the
// file is missing, larger than an icon or not a picture.
void setWindowIconFromFile()
{
    const std::string exe = executablePath();
    const std::string path = folderOf(exe) + "Graphics/Icon.bmp";
    // Read here, bounded and never waiting on a special file; SDL gets bytes.
    std::vector<unsigned char> bytes;
    if (!readFile(path, bytes, 54 + 256 * 256 * 3, OverCap::Reject)) return;
    SDL_Surface* icon = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!icon) return;
    SDL_SetColorKey(icon, SDL_TRUE, SDL_MapRGB(icon->format, 0, 255, 0));
    SDL_SetWindowIcon(video.window, icon);
    SDL_FreeSurface(icon);
}

bool openWindow(const std::string& caption, int x, int y, int width, int height, std::string& error)
{
    sdlPrepareProcess();
    sdlExitOnLostDisplay();
    video.mainThread = std::this_thread::get_id();
    // Without any display to talk to, say so before SDL's drivers probe
    // (and print their own noise); an explicit SDL_VIDEODRIVER is left to SDL.
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("SDL_VIDEODRIVER")) {
        error = "no display to open the game window on (neither DISPLAY nor WAYLAND_DISPLAY is set): "
                "a graphical display is needed";
        return false;
    }
    // The game reads keys, never text, so it needs no
    // compose table: Xlib would otherwise parse half a megabyte of it while
    // the video starts. An empty name loads none; a compose file the player
    // chose is left alone.
    ::setenv("XCOMPOSEFILE", "", 0);
    if (!startVideoOnBusyDisplay(error)) return false;
    video.window = SDL_CreateWindow(caption.c_str(), x, y, width, height,
                                    SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (video.window) video.renderer = SDL_CreateRenderer(video.window, -1, SDL_RENDERER_SOFTWARE);
    if (!video.window || !video.renderer) {
        error = std::string("cannot open the game window: ") + SDL_GetError();
        closeWindow();
        return false;
    }
    setWindowIconFromFile();
    readLayout();
    sdlStartGamepads();
    sdlWindowSizeOpened(video.window, width, height);
    // Any size from the picture's up; the picture keeps its own.
    SDL_SetWindowMinimumSize(video.window, width, height);
    video.pictureWidth = width;
    video.pictureHeight = height;
    showNewWindow();
    frameThreadDone.store(false);
    windowId.store(static_cast<WindowId>(SDL_GetWindowID(video.window)));
    return true;
}

void runEventLoop()
{
    // The window is black until the first picture comes: painted here,
    // while the frame thread starts up beside it, not before that start.
    showCurrentPicture();
    // Serves events until the frame thread has torn the game down.
    const int displayFd = sdlDisplayFd(video.window);
    while (!frameThreadDone.load()) {
        // Emptied before looking at the hand-overs: one made after this
        // leaves the pipe readable for the next wait.
        if (sdlTakeWakeUps()) requestQuit();
        serveFrameThread();
        sdlServeTestGamepad();
        keepAskingToShow();
        SDL_Event e;
        while (SDL_PollEvent(&e))
            handleEvent(e);
        if (!frameThreadDone.load()) waitForWork(displayFd);
    }
}

void frameThreadFinished()
{
    frameThreadDone.store(true);
    sdlWakeMainThread();
}

void closeWindow()
{
    sdlAudioShutdown();
    sdlStopGamepads();
    sdlWindowSizeClosed();
    windowId.store(NoWindow);
    if (video.texture) SDL_DestroyTexture(video.texture);
    if (video.scaled) SDL_DestroyTexture(video.scaled);
    if (video.renderer) SDL_DestroyRenderer(video.renderer);
    if (video.window) SDL_DestroyWindow(video.window);
    video.texture = nullptr;
    video.scaled = nullptr;
    video.renderer = nullptr;
    video.window = nullptr;
    video.textureWidth = video.textureHeight = 0;
    video.scaledWidth = video.scaledHeight = 0;
    video.pictureCount = video.textureHolds = video.wordsHold = video.scaledHolds = 0;
    video.wordsWidth = video.wordsHeight = 0;
    SDL_Quit();
}

WindowId mainWindow() { return windowId.load(); }

bool presentFrame(WindowId window, const std::uint8_t* pixels, int width, int height, bool unchanged)
{
    if (window == NoWindow || window != windowId.load() || !pixels || width <= 0 || height <= 0) return false;
    if (unchanged) return true;  // the texture holds it already, or will
    {
        std::lock_guard<std::mutex> lock(pending.mutex);
        pending.pixels = pixels;
        pending.width = width;
        pending.height = height;
        pending.fresh = true;
    }
    sdlWakeMainThread();
    return true;
}

void releaseFrame(WindowId)
{
    std::lock_guard<std::mutex> lock(pending.mutex);
    pending.pixels = nullptr;
    pending.fresh = false;
}

void messageBox(const std::string& text, const std::string& caption)
{
    // The box belongs on the main thread; the frame thread waits for it.
    if (std::this_thread::get_id() == video.mainThread || windowId.load() == NoWindow) {
        if (windowId.load() != NoWindow)
            showMessageBoxNow(text, caption);
        else
            std::fprintf(stderr, "message box [%s] %s\n", caption.c_str(), text.c_str());
        return;
    }
    MessageBoxRequest request;
    request.text = text;
    request.caption = caption;
    {
        std::lock_guard<std::mutex> lock(boxMutex);
        boxRequest = &request;
    }
    sdlWakeMainThread();
    std::unique_lock<std::mutex> lock(request.mutex);
    request.closed.wait(lock, [&] { return request.done; });
}

}  // namespace platform
