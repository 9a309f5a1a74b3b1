// File access for the game's own files (the rank file). Plain POSIX, shared
// by both platforms.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Reads at most maxBytes of the file at path into out. False when the file
// cannot be opened or read; out is then empty.
bool readFile(const std::string& path, std::vector<unsigned char>& out, std::size_t maxBytes);

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
