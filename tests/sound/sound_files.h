// Small dummy sound files in a fresh temporary folder, so that the headless
// platform's openSound finds something to open.
#pragma once

#include "tools/support/scratch_dir.h"

#include <fstream>
#include <string>

class SoundFiles {
public:
    // Writes a few bytes under name and returns the file's path.
    std::string make(const std::string& name)
    {
        const std::string path = this->path(name);
        std::ofstream out(path, std::ios::binary);
        out << "RIFF dummy";
        return path;
    }
    // The path name would have; the file need not exist.
    std::string path(const std::string& name) const { return dir_.file(name); }
    bool ok() const { return dir_.ok(); }

private:
    support::ScratchDir dir_{"tessaloom-sound"};
};
