// The benchmarks' shared corpus: the PHP files of Debian's wordpress package (fetched once
// by scripts/corpus.sh), and a large file made of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

// The corpus folder, fetched when missing.
inline std::string CorpusFolder()
{
    namespace fs = std::filesystem;
    fs::path local = fs::path(QV_SOURCE_DIR) / "bench/corpus/wordpress";
    if (fs::exists(local / "usr"))
        return local.string();
    std::string command = std::string(QV_SOURCE_DIR) + "/scripts/corpus.sh";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string folder;
    if (pipe != nullptr) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            folder += buffer;
        pclose(pipe);
    }
    while (!folder.empty() && (folder.back() == '\n' || folder.back() == '\r'))
        folder.pop_back();
    return folder;
}

// Writes the corpus's PHP files, in path order, over and over as Path until it holds at
// least Bytes; an existing file that large is kept.
inline void MakeCorpusFile(const std::string& Path, std::uintmax_t Bytes)
{
    namespace fs = std::filesystem;
    if (fs::exists(Path) && fs::file_size(Path) >= Bytes)
        return;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder()))
        if (entry.is_regular_file() && entry.path().extension() == ".php")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "no PHP files found in the corpus\n";
        std::exit(1);
    }
    std::string corpus;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        corpus.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::ofstream out(Path, std::ios::binary);
    for (std::uintmax_t written = 0; written < Bytes; written += corpus.size())
        out.write(corpus.data(), static_cast<std::streamsize>(corpus.size()));
}
