// A fresh temporary working directory for each test: the rank file path is
// relative to the working directory, so every test chdirs into its own.
#pragma once

#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch_.enter()); }

    // Writes bytes exactly as given (binary, no newline translation).
    static void writeBytes(const std::string& path, const std::string& bytes)
    {
        std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    static std::string readBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Every entry of a directory, by name, sorted.
    static std::vector<std::string> listDir(const std::string& path)
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    support::ScratchDir scratch_{"tessaloom-rank"};
};
