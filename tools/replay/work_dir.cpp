#include "tools/replay/work_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace replay {

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir(const std::string& prefix)
{
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec) return;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return;
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) return;
    fs::current_path(buf.data(), ec);
    if (ec) {
        fs::remove_all(buf.data(), ec);
        return;
    }
    path_ = buf.data();
    saved_ = here.string();
}

ScopedWorkDir::~ScopedWorkDir()
{
    if (path_.empty()) return;
    std::error_code ec;
    fs::current_path(saved_, ec);
    fs::remove_all(path_, ec);
}

}  // namespace replay
