// What the fuzz targets share: a check that stops the run with its line,
// and a private scratch directory on a memory file system for the targets
// that go through a file.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A failed check must stop the fuzzer with a readable cause and a stack.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s: check failed: %s (line %d)\n", __FILE__, #cond, __LINE__);             \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// Marks the target's own models and checks: their branches are not the
// reader's, so they neither count as coverage nor cost tracing on every run.
#define FUZZ_MODEL __attribute__((no_sanitize("coverage")))

namespace fuzz {

// The scratch directory: made once per process under $TESSALOOM_FUZZ_DIR
// (default /dev/shm, else /tmp) as "tessaloom-<name>-XXXXXX", and removed
// with everything in it (one level of subdirectories) on a clean exit.
inline std::string& scratchDirPath()
{
    static std::string path;
    return path;
}

inline void removeTree(const std::string& dir, int depth)
{
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "/" + name;
            if (::unlink(path.c_str()) != 0 && depth > 0) removeTree(path, depth - 1);
        }
        ::closedir(d);
    }
    ::rmdir(dir.c_str());
}

inline void removeScratchDir()
{
    if (scratchDirPath().empty()) return;
    removeTree(scratchDirPath(), 1);
}

inline const std::string& makeScratchDir(const char* name)
{
    const char* base = std::getenv("TESSALOOM_FUZZ_DIR");
    std::string dir = std::string(base != nullptr ? base : "/dev/shm") + "/tessaloom-" + name + "-XXXXXX";
    if (::mkdtemp(&dir[0]) == nullptr) {
        dir = std::string("/tmp/tessaloom-") + name + "-XXXXXX";
        FUZZ_CHECK(::mkdtemp(&dir[0]) != nullptr);
    }
    scratchDirPath() = dir;
    std::atexit(removeScratchDir);
    return scratchDirPath();
}

inline void writeFile(const std::string& path, const unsigned char* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
    FUZZ_CHECK(std::fclose(f) == 0);
}

}  // namespace fuzz
