// Key press to picture, seen from outside: presses keys in a window with
// XTest and times each press to the first change of the window's pixels in
// a watched rectangle, polled with XGetImage as fast as the server answers.
// The rectangle is cut into vertical bands; a press counts as answered once
// at least MIN_BANDS bands differ from the picture before it (a pair moved
// sideways changes two columns of the well at once, where its fall or a new
// pair changes one). The keys are pressed in turn (e.g. Left,Right keeps a
// pair in place), each released once answered, with a pause of PAUSE_MS plus
// a random part of one frame between presses, so presses land anywhere in
// the game's frame.
//
// Usage: bench_key_latency WINDOW PRESSES KEYS X Y WIDTH HEIGHT BAND MIN_BANDS PAUSE_MS
// Prints one line per press ("press N KEY: M ms" or "press N KEY: no change")
// and exits 0, or a reason and 1.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
// A press still unanswered after this is counted as lost.
constexpr auto AnswerDeadline = std::chrono::milliseconds(1000);
// Longer than a frame: the pause between presses is spread over this.
constexpr int FrameSpreadMs = 34;

struct Watch {
    Window window;
    int x, y, width, height, band, minBands;
};

std::vector<unsigned long> grab(Display* d, const Watch& w)
{
    std::vector<unsigned long> out;
    XImage* image = XGetImage(d, w.window, w.x, w.y, w.width, w.height, AllPlanes, ZPixmap);
    if (!image) return out;
    out.resize(static_cast<std::size_t>(w.width) * w.height);
    for (int row = 0; row < w.height; ++row)
        for (int col = 0; col < w.width; ++col)
            out[static_cast<std::size_t>(row) * w.width + col] = XGetPixel(image, col, row);
    XDestroyImage(image);
    return out;
}

// How many bands hold a pixel that differs.
int changedBands(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b, const Watch& w)
{
    if (a.size() != b.size() || a.empty()) return 0;
    int bands = 0;
    for (int left = 0; left < w.width; left += w.band) {
        bool changed = false;
        for (int row = 0; row < w.height && !changed; ++row)
            for (int col = left; col < left + w.band && col < w.width && !changed; ++col) {
                const std::size_t at = static_cast<std::size_t>(row) * w.width + col;
                changed = a[at] != b[at];
            }
        bands += changed;
    }
    return bands;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 11) {
        std::fprintf(stderr,
                     "usage: %s WINDOW PRESSES KEYS X Y WIDTH HEIGHT BAND MIN_BANDS PAUSE_MS\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "key latency: no display\n");
        return 1;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "key latency: the display has no XTest\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    Watch w{static_cast<Window>(std::strtoul(argv[1], nullptr, 0)),
            std::atoi(argv[4]),
            std::atoi(argv[5]),
            std::atoi(argv[6]),
            std::atoi(argv[7]),
            std::atoi(argv[8]),
            std::atoi(argv[9])};
    const int presses = std::atoi(argv[2]);
    const int pauseMs = std::atoi(argv[10]);
    std::vector<std::string> keys;
    std::stringstream list(argv[3]);
    for (std::string key; std::getline(list, key, ',');)
        keys.push_back(key);
    if (presses < 1 || keys.empty() || w.width < 1 || w.height < 1 || w.band < 1 || w.minBands < 1) {
        std::fprintf(stderr, "key latency: bad arguments\n");
        return 2;
    }
    std::vector<KeyCode> codes;
    for (const std::string& key : keys) {
        const KeySym sym = XStringToKeysym(key.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
        if (code == 0) {
            std::fprintf(stderr, "key latency: no key %s\n", key.c_str());
            return 1;
        }
        codes.push_back(code);
    }
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> spread(0, FrameSpreadMs * 1000);
    for (int n = 0; n < presses; ++n) {
        const std::size_t k = static_cast<std::size_t>(n) % codes.size();
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs) + std::chrono::microseconds(spread(random)));
        const std::vector<unsigned long> before = grab(d, w);
        if (before.empty()) {
            std::fprintf(stderr, "key latency: cannot read the window\n");
            return 1;
        }
        XTestFakeKeyEvent(d, codes[k], True, CurrentTime);
        XSync(d, False);
        const auto pressed = Clock::now();
        bool answered = false;
        while (Clock::now() - pressed < AnswerDeadline) {
            if (changedBands(before, grab(d, w), w) >= w.minBands) {
                answered = true;
                break;
            }
        }
        const auto seen = Clock::now();
        XTestFakeKeyEvent(d, codes[k], False, CurrentTime);
        XSync(d, False);
        if (answered)
            std::printf("press %d %s: %.2f ms\n", n + 1, keys[k].c_str(),
                        std::chrono::duration<double, std::milli>(seen - pressed).count());
        else
            std::printf("press %d %s: no change\n", n + 1, keys[k].c_str());
        std::fflush(stdout);
    }
    XCloseDisplay(d);
    return 0;
}
