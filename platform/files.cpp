// POSIX file access for the game's own files.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Retries on EINTR so a signal during a save cannot make it fail half way.
int openRetry(const char* path, int flags)
{
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string errorText(int error) { return std::strerror(error); }

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
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
    std::string dir;   // "." when path has no directory part
    std::string base;
};

SplitPath splitPath(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    if (slash == 0)
        return {"/", path.substr(1)};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// Temporaries are named ".<base>.tmp-XXXXXX": hidden, and recognisable as
// ours by the prefix and the six characters mkstemp fills in.
std::string tempPrefix(const std::string& base)
{
    return "." + base + ".tmp-";
}

// A save killed between mkstemp and rename leaves its temporary behind;
// without this sweep they would pile up, one per interrupted save.
void removeLeftovers(const SplitPath& p)
{
    DIR* d = ::opendir(p.dir.c_str());
    if (!d)
        return;
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
    if (fd < 0)
        return false;
    const bool synced = syncRetry(fd) || errno == EINVAL;
    return ::close(fd) == 0 && synced;
}

}  // namespace

ReadResult readFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes, OverCap overCap)
{
    out.clear();
    ReadResult result;
    // Non-blocking: opening a FIFO without a writer would otherwise wait for
    // one forever. The flag does nothing to a regular file's reads.
    const int fd = openRetry(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
        result.reason = errorText(errno);
        return result;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        result.reason = errorText(errno);
        ::close(fd);
        return result;
    }
    // A device such as /dev/zero never ends, and a FIFO or socket may stall:
    // only a regular file is read.
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        result.status = ReadResult::Missing;
        result.reason = "not a regular file";
        return result;
    }
    const bool reject = overCap == OverCap::Reject;
    const auto tooLarge = [&] {
        result.status = ReadResult::TooLarge;
        result.reason = "larger than " + std::to_string(maxBytes) + " bytes";
    };
    if (reject && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        tooLarge();
        return result;
    }
    // Read to the end (or one byte past the cap) rather than trusting the
    // size fstat gave: the file may change under us, and a short read must
    // not leave uninitialised bytes in out.
    const std::size_t limit = reject && maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    std::size_t filled = 0;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size) + 1, limit)));
    bool ok = true;
    while (filled < limit) {
        if (filled == out.size())
            out.resize(std::min(limit, std::max<std::size_t>(4096, out.size() * 2)));
        const ssize_t n = ::read(fd, out.data() + filled, out.size() - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.reason = errorText(errno);
            ok = false;
            break;
        }
        if (n == 0)
            break;
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

bool replaceFile(const std::string& path, const std::string& bytes)
{
    const SplitPath p = splitPath(path);
    if (p.base.empty())
        return false;

    // One level is enough for the rank file's "Data"; EEXIST also covers a
    // plain file of that name, which then fails at mkstemp below.
    if (p.dir != "." && p.dir != "/" && ::mkdir(p.dir.c_str(), 0755) != 0 && errno != EEXIST)
        return false;

    removeLeftovers(p);

    // Keep the mode of the file being replaced, so a player's chmod survives.
    mode_t mode = 0644;
    struct stat old;
    if (::stat(path.c_str(), &old) == 0)
        mode = old.st_mode & 07777;

    std::string temp = p.dir + "/" + tempPrefix(p.base) + "XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0)
        return false;

    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes.data(), bytes.size()) && syncRetry(fd);
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The new bytes are in place at this point; a failure here only means
    // the rename may not survive a power loss.
    return syncDirectory(p.dir);
}

}  // namespace platform
