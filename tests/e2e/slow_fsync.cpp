// A disk whose flushes are slow: every fsync first waits half a second, as
// on a busy or failing disk or a network mount. Preloaded (LD_PRELOAD) into
// the game by the slow-disk end-to-end test only. Plain C calls: nothing of
// the C++ runtime is loaded into the game with it.
#include <dlfcn.h>
#include <time.h>

extern "C" int fsync(int fd)
{
    const timespec pause{0, 500 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return real ? real(fd) : 0;
}
