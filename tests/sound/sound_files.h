// Small dummy sound files in a fresh temporary folder, so that the headless
// platform's openSound finds something to open.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class SoundFiles {
public:
    SoundFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaloom-sound-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    }
    ~SoundFiles()
    {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    SoundFiles(const SoundFiles&) = delete;
    SoundFiles& operator=(const SoundFiles&) = delete;

    // Writes a few bytes under name and returns the file's path.
    std::string make(const std::string& name)
    {
        const std::string path = this->path(name);
        std::ofstream out(path, std::ios::binary);
        out << "RIFF dummy";
        return path;
    }
    // The path name would have; the file need not exist.
    std::string path(const std::string& name) const { return (std::filesystem::path(dir_) / name).string(); }
    bool ok() const { return !dir_.empty(); }

private:
    std::string dir_;
};
