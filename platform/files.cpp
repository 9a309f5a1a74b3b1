// POSIX file access for the game's own files.
#include "platform/files.h"
#include "platform/path.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// How long a save waits for another copy of the game to finish its own. A
// save holds the lock for a few milliseconds; only a stopped or hung holder
// keeps it longer, and then the save gives up and says so.
constexpr auto LockWait = std::chrono::seconds(5);

// Retries on EINTR so a signal during a save cannot make it fail half way.
int openRetry(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string errorText(int error) { return std::strerror(error); }

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool syncRetry(int fd)
{
    int r;
    do {
        r = ::fsync(fd);
    } while (r < 0 && errno == EINTR);
    return r == 0;
}

struct SplitPath {
    std::string dir;  // "." when path has no directory part
    std::string base;
};

SplitPath splitPath(const std::string& path)
{
    std::string dir = folderOf(path);
    if (dir.size() > 1) dir.pop_back();  // the folder without its final '/', except for "/"
    return {dir.empty() ? "." : dir, fileNameOf(path)};
}

// Temporaries are named ".<base>.tmp-XXXXXX": hidden, and recognisable as
// ours by the prefix and the six characters mkstemp fills in.
constexpr const char* TempMark = ".tmp-";

std::string tempPrefix(const std::string& base) { return "." + base + TempMark; }

// A save killed between mkstemp and rename leaves its temporary behind;
// without this sweep they would pile up, one per interrupted save. It runs
// only under the file's lock, and a save holds that lock from before it
// creates its temporary until after the rename; so every temporary present
// now belongs to a save that died (the kernel dropped its lock with it) and
// none to a save in progress. An age rule could not tell a slow save from a
// dead one.
void removeDeadTemporaries(const SplitPath& p)
{
    DIR* d = ::opendir(p.dir.c_str());
    if (!d) return;
    const std::string prefix = tempPrefix(p.base);
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlink((p.dir + "/" + name).c_str());
    }
    ::closedir(d);
}

// Makes the rename itself durable; a file system that cannot flush a
// directory (EINVAL) gives no stronger promise to be had.
bool syncDirectory(const std::string& dir)
{
    const int fd = openRetry(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = syncRetry(fd) || errno == EINVAL;
    return ::close(fd) == 0 && synced;
}

// Where a save of path goes: path itself when it is a regular file or not
// there yet, or the regular file a link at path leads to. False, with a
// reason, for anything else.
bool resolveTarget(const std::string& path, std::string& target, std::string& reason)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            reason = errorText(errno);
            return false;
        }
        target = path;  // a new file
        return true;
    }
    if (S_ISREG(st.st_mode)) {
        target = path;
        return true;
    }
    if (!S_ISLNK(st.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        reason = errno == ENOENT ? "a link to nothing"
                                 : "a link that cannot be followed: " + errorText(errno);
        return false;
    }
    target = real;
    std::free(real);
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = "a link to something other than a regular file";
        return false;
    }
    return true;
}

// Takes an exclusive lock for saves of target, waiting LockWait at most.
// The lock is on the folder holding target: the file itself cannot carry it,
// since every save puts a new file in its place, and a folder lock leaves no
// lock file behind. The lock belongs to the folder however it is reached,
// and target has its links resolved, so two links to one file share one
// lock. Returns the descriptor; -1 with a reason when the lock could not be
// had, or -1 without one when the file system has no such locks.
//
// With retryPause, the wait is non-blocking tries, retryPause() between them,
// until LockWait has passed or retryPause returns false.
int lockTarget(const std::string& target, std::string& reason, const std::function<bool()>* retryPause)
{
    const std::string dir = splitPath(target).dir;
    const int fd = openRetry(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = errorText(errno);
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    int r;
    for (;;) {
        do {
            r = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (r != 0 && errno == EINTR);
        if (r == 0) return fd;
        if (errno != EWOULDBLOCK) {
            // No such locks here: a network mount that turns flock into a
            // byte-range lock wants a descriptor open for writing, which a
            // folder cannot have. Saves go on unlocked, as they always did.
            ::close(fd);
            return -1;
        }
        if (!retryPause) break;
        // Gives up at the deadline, or when the caller's pause says so.
        if (std::chrono::steady_clock::now() >= deadline ||
            !(*retryPause ? (*retryPause)() : pauseBeforeLockRetry())) {
            ::close(fd);
            reason = "another copy of the game kept it locked";
            return -1;
        }
    }
    // Held by another save. A blocking flock is woken the moment the lock
    // is let go; retrying LOCK_NB now and then almost never catches that
    // moment when the other side saves again at once, and starves. So the
    // blocking call runs on a helper thread, and this one waits for it with
    // a deadline. A helper left behind after the deadline closes the
    // descriptor itself once it has the lock, which lets go of it.
    struct Wait {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        bool abandoned = false;
        int error = 0;
    };
    const auto wait = std::make_shared<Wait>();
    try {
        std::thread([wait, fd] {
            int got;
            do {
                got = ::flock(fd, LOCK_EX);
            } while (got != 0 && errno == EINTR);
            const int error = got == 0 ? 0 : errno;
            std::lock_guard<std::mutex> guard(wait->mutex);
            wait->done = true;
            wait->error = error;
            if (wait->abandoned) ::close(fd);
            wait->changed.notify_one();
        }).detach();
    } catch (const std::system_error& e) {
        ::close(fd);
        reason = e.what();
        return -1;
    }
    std::unique_lock<std::mutex> hold(wait->mutex);
    if (!wait->changed.wait_for(hold, LockWait, [&] { return wait->done; })) {
        wait->abandoned = true;
        reason = "another copy of the game kept it locked";
        return -1;
    }
    if (wait->error != 0) {
        ::close(fd);
        reason = errorText(wait->error);
        return -1;
    }
    return fd;
}

}  // namespace

int openRegularFile(const std::string& path, std::uint64_t& size, ReadResult& result)
{
    result = ReadResult{};
    size = 0;
    // Non-blocking: opening a FIFO without a writer would otherwise wait for
    // one forever. The flag does nothing to a regular file's reads.
    const int fd = openRetry(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        // A missing file is silent and needs no text: the ranking view reads
        // a rank file that may not be there every frame, without allocating.
        if (errno == ENOENT || errno == ENOTDIR)
            result.status = ReadResult::Missing;
        else
            result.reason = errorText(errno);
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        result.reason = errorText(errno);
        ::close(fd);
        return -1;
    }
    // A device such as /dev/zero never ends, and a FIFO or socket may stall:
    // only a regular file is read.
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        result.status = ReadResult::Missing;
        result.reason = "not a regular file";
        return -1;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    result.status = ReadResult::Read;
    return fd;
}

ReadResult readFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes,
                    OverCap overCap)
{
    out.clear();
    ReadResult result;
    std::uint64_t size = 0;
    const int fd = openRegularFile(path, size, result);
    if (fd < 0) return result;
    result.status = ReadResult::Failed;
    const bool reject = overCap == OverCap::Reject;
    const auto tooLarge = [&] {
        result.status = ReadResult::TooLarge;
        result.reason = "larger than " + std::to_string(maxBytes) + " bytes";
    };
    if (reject && size > maxBytes) {
        ::close(fd);
        tooLarge();
        return result;
    }
    // Read to the end (or one byte past the cap) rather than trusting the
    // size fstat gave: the file may change under us, and a short read must
    // not leave uninitialised bytes in out.
    const std::size_t limit = reject && maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    std::size_t filled = 0;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, limit)));
    bool ok = true;
    while (filled < limit) {
        if (filled == out.size()) out.resize(std::min(limit, std::max<std::size_t>(4096, out.size() * 2)));
        const ssize_t n = ::read(fd, out.data() + filled, out.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.reason = errorText(errno);
            ok = false;
            break;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.resize(filled);
    if (ok && filled > maxBytes) {
        tooLarge();  // it grew past the cap since fstat
        ok = false;
    }
    if (!ok) {
        out.clear();
        return result;
    }
    result.status = ReadResult::Read;
    return result;
}

bool readSoundFile(const std::string& path, std::vector<unsigned char>& out)
{
    const ReadResult r = readFile(path, out, SoundFileMaxBytes, OverCap::Reject);
    if (r.status == ReadResult::TooLarge)
        std::fprintf(stderr, "tessaloom: skipping the sound file %s: %s\n", path.c_str(), r.reason.c_str());
    return static_cast<bool>(r);
}

bool pauseBeforeLockRetry()
{
    std::this_thread::sleep_for(LockRetryPause);
    return true;
}

LockedFile::LockedFile(const std::string& path) : LockedFile(path, nullptr) {}

LockedFile::LockedFile(const std::string& path, const std::function<bool()>& retryPause)
    : LockedFile(path, &retryPause)
{
}

LockedFile::LockedFile(const std::string& path, const std::function<bool()>* retryPause)
{
    const SplitPath p = splitPath(path);
    if (p.base.empty()) {
        reason_ = "no file name";
        return;
    }
    // One level is enough for the rank file's "Data"; EEXIST also covers a
    // plain file of that name, which then fails below.
    if (p.dir != "." && p.dir != "/" && ::mkdir(p.dir.c_str(), 0755) != 0 && errno != EEXIST) {
        reason_ = errorText(errno);
        return;
    }
    if (!resolveTarget(path, target_, reason_)) return;
    lockFd_ = lockTarget(target_, reason_, retryPause);
    ready_ = lockFd_ >= 0 || reason_.empty();
}

LockedFile::~LockedFile()
{
    if (lockFd_ >= 0) ::close(lockFd_);  // lets go of the lock
}

bool LockedFile::replace(const std::string& bytes)
{
    if (!ok()) return false;
    const SplitPath p = splitPath(target_);

    // Checked under the lock: the file may have changed since the
    // constructor looked. Keep the mode of the file being replaced, so a
    // player's chmod survives, but never let the save open it to others.
    mode_t mode = 0644;
    struct stat old;
    if (::lstat(target_.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode)) {
            reason_ = "not a regular file";
            return false;
        }
        if (::access(target_.c_str(), W_OK) != 0) {
            reason_ = errorText(errno);
            return false;
        }
        // Without any write bit the player made it read-only on purpose;
        // that holds even for a user whom the system lets write anyway.
        if ((old.st_mode & 0222) == 0) {
            reason_ = "the file is read-only";
            return false;
        }
        mode = old.st_mode & 0755;
    } else if (errno != ENOENT) {
        reason_ = errorText(errno);
        return false;
    }

    // Without the lock a temporary may be another save's live one.
    if (lockFd_ >= 0) removeDeadTemporaries(p);

    // Named in a buffer of its own: a save allocates nothing on the heap.
    char temp[PATH_MAX];
    const int length =
        std::snprintf(temp, sizeof temp, "%s/.%s%sXXXXXX", p.dir.c_str(), p.base.c_str(), TempMark);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof temp) {
        reason_ = errorText(ENAMETOOLONG);
        return false;
    }
    const int fd = ::mkostemp(temp, O_CLOEXEC);
    if (fd < 0) {
        reason_ = errorText(errno);
        return false;
    }
    bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes.data(), bytes.size()) && syncRetry(fd);
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temp, target_.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temp);
        reason_ = errorText(error);
        return false;
    }
#ifdef __EMSCRIPTEN__
    // The browser's file system is memory: the page copies the player's
    // folder to its lasting storage after each save.
    EM_ASM({
        if (Module.tessaloomPersist) Module.tessaloomPersist();
    });
#endif
    // The new bytes are in place at this point; a failure here only means
    // the rename may not survive a power loss.
    if (!syncDirectory(p.dir)) {
        reason_ = errorText(errno);
        return false;
    }
    return true;
}

bool replaceFile(const std::string& path, const std::string& bytes, std::string* reason)
{
    LockedFile file(path);
    const bool ok = file.replace(bytes);
    if (!ok && reason) *reason = file.reason();
    return ok;
}

}  // namespace platform
