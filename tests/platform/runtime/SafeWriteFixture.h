// A fresh folder for each safe-writer test, with helpers to read, write and list it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "safewrite_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        ::chmod(folder_.c_str(), 0755);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string Path(const std::string& Name) const { return folder_ + "/" + Name; }

    // The names in Folder (the test's folder by default) in order, "." and ".." left out.
    std::vector<std::string> Entries(const std::string& Folder = {}) const
    {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir((Folder.empty() ? folder_ : Folder).c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    names.push_back(name);
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Read(const std::string& Path)
    {
        std::ifstream in(Path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static void Write(const std::string& Path, const std::string& Bytes)
    {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }

    static ino_t Inode(const std::string& Path)
    {
        struct stat info {};
        return ::stat(Path.c_str(), &info) == 0 ? info.st_ino : 0;
    }

    static struct stat Status(const std::string& Path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(Path.c_str(), &info), 0) << Path;
        return info;
    }

    std::string folder_;
};
