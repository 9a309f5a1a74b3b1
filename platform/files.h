// File access for the game's own files (rank file, pictures, sounds). Plain
// POSIX, shared by both platforms.
#pragma once

#include <cstddef>
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

// Cap of a sound file: the longest music track is about 7 MiB, so this holds
// it with room to spare and keeps a stray huge file from being loaded.
constexpr std::size_t SoundFileMaxBytes = 32u << 20;

// Reads a sound file whole (regular files only, at most SoundFileMaxBytes).
// A file over the cap is skipped with one line on stderr naming it; a missing
// or unreadable one silently, as a missing picture is.
bool readSoundFile(const std::string& path, std::vector<unsigned char>& out);

// Replaces the file at path with bytes, atomically: a temporary file in the
// same directory (named ".<file name>.tmp-" plus six characters) is written,
// flushed, closed and renamed over the old name, so a crash leaves either the
// old or the new file. The new file keeps the old one's mode (0644 when new).
// Creates the directory when that one level is missing and removes temporary
// files that an interrupted save left behind. False when anything fails; the
// old file is then unchanged and the temporary removed. (Only when the final
// flush of the directory fails are the new bytes already in place.)
bool replaceFile(const std::string& path, const std::string& bytes);

}  // namespace platform
