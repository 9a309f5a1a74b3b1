// POSIX file access for the game's own files.
#include "platform/files.h"
#include "platform/path.h"

#include <algorithm>
#include <cerrno>
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
    std::string dir = folderOf(path);
    if (dir.size() > 1)
        dir.pop_back();  // the folder without its final '/', except for "/"
    return {dir.empty() ? "." : dir, fileNameOf(path)};
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

bool readFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes)
{
    out.clear();
    const int fd = openRetry(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Read in chunks up to the cap rather than trusting the size the file
    // reports: the file may change under us, and a short read must not leave
    // uninitialised bytes in out.
    bool ok = true;
    unsigned char buffer[4096];
    while (out.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buffer, maxBytes - out.size());
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        out.insert(out.end(), buffer, buffer + n);
    }
    ::close(fd);
    if (!ok)
        out.clear();
    return ok;
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
