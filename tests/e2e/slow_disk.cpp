// A slow disk, for the end-to-end tests (loaded with LD_PRELOAD). It
// emulates a cold, slow disk under the game's assets, where each file costs
// a seek to open it and another for its first read, and later reads of it
// come from read-ahead: every file opened under a Graphics/ or Sound/ folder
// waits SLOW_DISK_MS milliseconds (default 300) in open and again in its
// first read. Each slowed open is appended to the file SLOW_DISK_LOG, when
// set, so a test can tell how far the game has read. Its flushes can be
// slow too, as on a busy or failing disk or a network mount: every fsync
// waits SLOW_DISK_FSYNC_MS milliseconds (default none). Everything else is
// left alone.
//
// The real open, read and close are taken over, so no inline wrapper of
// them may stand in the way.
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

using OpenFn = int (*)(const char*, int, ...);
using OpenAtFn = int (*)(int, const char*, int, ...);
using ReadFn = ssize_t (*)(int, void*, size_t);
using PreadFn = ssize_t (*)(int, void*, size_t, off_t);
using CloseFn = int (*)(int);
using FsyncFn = int (*)(int);

template <class Fn>
Fn next(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

// Descriptors of slowed files whose first read is still to come.
constexpr int TrackedFds = 4096;
std::atomic<bool> firstReadPending[TrackedFds];

long delayMs(const char* variable, long byDefault)
{
    const char* text = std::getenv(variable);
    return text ? std::atol(text) : byDefault;
}

void wait(long ms = delayMs("SLOW_DISK_MS", 300))
{
    timespec t{ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&t, &t) != 0) {
    }
}

bool slowed(const char* path)
{
    if (!path) return false;
    for (const char* folder : {"Graphics/", "Sound/"}) {
        const char* at = std::strstr(path, folder);
        if (at && (at == path || at[-1] == '/')) return true;
    }
    return false;
}

void note(const char* path)
{
    const char* log = std::getenv("SLOW_DISK_LOG");
    if (!log) return;
    static const OpenFn realOpen = next<OpenFn>("open");
    const int fd = realOpen(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // One write a line, so lines from two threads never mix.
    char line[4096];
    const std::size_t n = std::strlen(path) < sizeof line - 1 ? std::strlen(path) : sizeof line - 2;
    std::memcpy(line, path, n);
    line[n] = '\n';
    const ssize_t written = ::write(fd, line, n + 1);
    static_cast<void>(written);
    static const CloseFn realClose = next<CloseFn>("close");
    realClose(fd);
}

// Before the real open: the seek that finds the file.
void beforeOpen(const char* path)
{
    if (!slowed(path)) return;
    note(path);
    wait();
}

int afterOpen(const char* path, int fd)
{
    if (fd >= 0 && fd < TrackedFds) firstReadPending[fd].store(slowed(path));
    return fd;
}

void beforeRead(int fd)
{
    if (fd >= 0 && fd < TrackedFds && firstReadPending[fd].exchange(false)) wait();
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    static const OpenFn real = next<OpenFn>("open");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    beforeOpen(path);
    return afterOpen(path, real(path, flags, mode));
}

int open64(const char* path, int flags, ...)
{
    static const OpenFn real = next<OpenFn>("open64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    beforeOpen(path);
    return afterOpen(path, real(path, flags, mode));
}

int openat(int dir, const char* path, int flags, ...)
{
    static const OpenAtFn real = next<OpenAtFn>("openat");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    beforeOpen(path);
    return afterOpen(path, real(dir, path, flags, mode));
}

ssize_t read(int fd, void* buffer, size_t count)
{
    static const ReadFn real = next<ReadFn>("read");
    beforeRead(fd);
    return real(fd, buffer, count);
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset)
{
    static const PreadFn real = next<PreadFn>("pread");
    beforeRead(fd);
    return real(fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset)
{
    static const PreadFn real = next<PreadFn>("pread64");
    beforeRead(fd);
    return real(fd, buffer, count, offset);
}

int fsync(int fd)
{
    static const FsyncFn real = next<FsyncFn>("fsync");
    wait(delayMs("SLOW_DISK_FSYNC_MS", 0));
    return real(fd);
}

int close(int fd)
{
    static const CloseFn real = next<CloseFn>("close");
    if (fd >= 0 && fd < TrackedFds) firstReadPending[fd].store(false);
    return real(fd);
}

}  // extern "C"
