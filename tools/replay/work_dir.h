// A fresh folder under the system's temporary directory that serves as the
// working directory for a while (the game's rank file lives under it).
#pragma once

#include <string>

namespace replay {

class ScopedWorkDir {
public:
    // Makes the folder and changes into it; path() is empty when either
    // failed (the working directory is then unchanged).
    explicit ScopedWorkDir(const std::string& prefix = "tessaloom-replay");
    // Changes back and removes the folder with everything in it.
    virtual ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string saved_;
};

}  // namespace replay
