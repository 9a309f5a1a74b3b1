// A fresh folder for a test, a tool or a benchmark to write into, removed
// with everything in it at the end. The game's rank file is relative to the
// working directory, so the folder can also stand in as that for a while.
#pragma once

#include <string>

namespace support {

class ScratchDir {
public:
    // Makes <parent>/<prefix>-XXXXXX, parent being the system's temporary
    // directory when empty. path() is empty when that failed.
    explicit ScratchDir(const std::string& prefix = "tessaloom", const std::string& parent = "");
    // Goes back to the earlier working directory if enter() changed it, then
    // removes the folder.
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Makes the folder the working directory until the end. False when there
    // is no folder or the change failed (the working directory then stays).
    bool enter();

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // The path of relative inside the folder; the file need not exist.
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
    std::string saved_;  // the working directory before enter(), if called
};

}  // namespace support
