// File access for the game's own files (rank file, pictures, sounds). Plain
// POSIX, shared by both platforms.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// What readFile does with a regular file larger than its cap.
enum class OverCap {
    ReadPrefix,  // reads the first maxBytes bytes (the rank file's rule)
    Reject,      // treats it as unusable (pictures, sounds)
};

// What readFile made of a file. reason is a short phrase for a message ("not
// a regular file", "larger than 33554432 bytes", or the system's text for the
// error); empty after a successful read.
struct ReadResult {
    enum Status { Read, Missing, TooLarge, Failed };
    Status status = Failed;
    std::string reason;
    explicit operator bool() const { return status == Read; }
};

// Reads the file at path into out without ever blocking on it: it is opened
// non-blocking and read only when it is a regular file; anything else (a FIFO,
// a device, a directory, a link to one) counts as Missing, like a file that
// is not there. At most maxBytes are read; a larger file is read up to the
// cap or rejected as TooLarge, as overCap says. Unless Read, out is empty.
ReadResult readFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes,
                    OverCap overCap = OverCap::ReadPrefix);

// The opening step of readFile, for a file read bit by bit later (a sound
// played from its file): a descriptor opened non-blocking on a regular file,
// and the file's size at opening; -1 otherwise, with result Missing (not
// there, or not a regular file) or Failed and a reason. The caller closes it
// and must still bound every read by a cap of its own.
int openRegularFile(const std::string& path, std::uint64_t& size, ReadResult& result);

// Cap of a sound file: the longest music track is about 7 MiB, so this holds
// it with room to spare and keeps a stray huge file from being loaded.
constexpr std::size_t SoundFileMaxBytes = 32u << 20;

// Reads a sound file whole (regular files only, at most SoundFileMaxBytes).
// A file over the cap is skipped with one line on stderr naming it; a missing
// or unreadable one silently, as a missing picture is.
bool readSoundFile(const std::string& path, std::vector<unsigned char>& out);

// Between two tries at a lock another process holds, for a save that never
// blocks in flock: short next to a save's few milliseconds under the lock,
// long enough to cost nothing.
constexpr std::chrono::milliseconds LockRetryPause{20};

// Sleeps LockRetryPause and says to go on: the plain retryPause of LockedFile.
bool pauseBeforeLockRetry();

// One read-change-write of a file that another process may update at the same
// moment (two copies of the game saving their high scores). The constructor
// takes an exclusive advisory lock (flock on the folder that holds the file),
// waiting a few seconds at most for another holder; read target() while it
// is held, then replace(); the destructor lets go. The folder is created
// when that one level is missing.
//
// The first constructor waits in a blocking flock on a helper thread, which
// is woken the moment the lock is let go; after its deadline that thread
// stays blocked, with its descriptor, until the holder lets go. The second
// never blocks: it tries again after each retryPause() until the same
// deadline, or until retryPause returns false (the caller is stopping), and
// leaves nothing behind.
//
// A symbolic link at path is saved through: target() is the regular file it
// points to, and the temporary goes beside that file, so the rename stays on
// one file system and the link is kept. A path that is, or links to,
// anything but a regular file (or to nothing) is never written to.
class LockedFile {
public:
    explicit LockedFile(const std::string& path);
    LockedFile(const std::string& path, const std::function<bool()>& retryPause);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // True while the lock is held (or the file system has no such locks)
    // and the path may be saved to; otherwise reason() says why not.
    bool ok() const { return ready_; }
    const std::string& reason() const { return reason_; }

    // The file that is read and replaced: path, or where its link leads.
    const std::string& target() const { return target_; }

    // Replaces target() with bytes, atomically: a temporary file beside it
    // (named ".<file name>.tmp-" plus six characters) is written, flushed,
    // closed and renamed over it, so a crash leaves either the old or the new
    // file. The new file keeps the old one's mode without group or other write
    // bits (0644 when new). A file the player cannot write, or that has no
    // write bit at all, is left as it is: the player made it read-only.
    // Temporaries that a dead save left behind are removed first. False when
    // anything fails (reason() says what); the old file is then unchanged and
    // the temporary removed. (Only when the final flush of the directory fails
    // are the new bytes already in place.)
    bool replace(const std::string& bytes);

private:
    LockedFile(const std::string& path, const std::function<bool()>* retryPause);

    std::string target_;
    std::string reason_;
    int lockFd_ = -1;
    bool ready_ = false;
};

// Replaces the file at path with bytes under its lock (LockedFile::replace),
// creating the directory when that one level is missing. False when anything
// fails; reason, when given, then says why.
bool replaceFile(const std::string& path, const std::string& bytes, std::string* reason = nullptr);

}  // namespace platform
