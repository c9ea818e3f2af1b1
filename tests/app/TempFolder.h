// A fresh folder under the test's temporary directory, removed with everything in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TTempFolder {
public:
    TTempFolder()
    {
        std::string pattern = ::testing::TempDir() + "quorvel_app_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "cannot make a temporary folder";
        path_ = pattern + "/";
    }
    ~TTempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder with its trailing separator.
    const std::string& Path() const { return path_; }

    // Writes Bytes as the file Name in the folder and returns its full path.
    std::string Write(const std::string& Name, const std::string& Bytes) const
    {
        const std::string file = path_ + Name;
        std::ofstream(file, std::ios::binary) << Bytes;
        return file;
    }

private:
    std::string path_;
};
