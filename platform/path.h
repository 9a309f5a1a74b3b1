// A path split at its last '/': the folder (with that '/') and the file
// name. Plain string work, for the executable's path and the rank file's.
#pragma once

#include <string>

namespace platform {

// The part after the last '/'; the whole path when it has none.
inline std::string fileNameOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The part up to and including the last '/'; empty when there is none.
inline std::string folderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace platform
