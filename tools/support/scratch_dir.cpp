#include "tools/support/scratch_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace support {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(const std::string& prefix, const std::string& parent)
{
    std::error_code ec;
    const fs::path base = parent.empty() ? fs::temp_directory_path(ec) : fs::path(parent);
    if (ec) return;
    const std::string pattern = (base / (prefix + "-XXXXXX")).string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data())) path_ = buf.data();
}

ScratchDir::~ScratchDir()
{
    if (path_.empty()) return;
    std::error_code ec;
    if (!saved_.empty()) fs::current_path(saved_, ec);
    fs::remove_all(path_, ec);
}

bool ScratchDir::enter()
{
    if (path_.empty()) return false;
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec) return false;
    fs::current_path(path_, ec);
    if (ec) return false;
    if (saved_.empty()) saved_ = here.string();
    return true;
}

}  // namespace support
