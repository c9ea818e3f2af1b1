// Texts of real files in each language the editor highlights, from the Debian packages that
// scripts/language-corpus.sh unpacks under bench/corpus/: the files of a package whose names
// end in one of a language's extensions, in path order, over and over until the text has the
// lines or bytes asked for.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

// The corpus folder, fetched when missing.
inline std::string LanguageCorpusFolder()
{
    namespace fs = std::filesystem;
    const std::string script = std::string(QV_SOURCE_DIR) + "/scripts/language-corpus.sh";
    if (std::system((script + " >/dev/null").c_str()) != 0)
        std::cerr << script << " failed\n";
    return (fs::path(QV_SOURCE_DIR) / "bench/corpus").string();
}

// The text of the files of Packages (folders of the corpus, in this order, the files of each
// in path order) whose names end in one of Extensions ("" takes every file), repeated until it has Lines lines (cut there) or, with
// Lines 0, at least Bytes bytes (cut at the end of a line). Each file ends with a line end.
inline std::string LanguageText(const std::vector<std::string>& Packages, const std::vector<std::string>& Extensions,
                                int Lines, std::size_t Bytes = 0)
{
    namespace fs = std::filesystem;
    const std::string corpus = LanguageCorpusFolder();
    std::vector<fs::path> files;
    for (const std::string& package : Packages) {
        const fs::path folder = fs::path(corpus) / package;
        if (!fs::exists(folder)) {
            std::cerr << "no package " << package << " under " << corpus << "\n";
            std::exit(1);
        }
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.is_symlink())
                continue;
            const std::string name = entry.path().filename().string();
            for (const std::string& extension : Extensions)
                if (name.size() >= extension.size() &&
                    name.compare(name.size() - extension.size(), extension.size(), extension) == 0) {
                    found.push_back(entry.path());
                    break;
                }
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    if (files.empty()) {
        std::cerr << "no files of that language under " << corpus << "\n";
        std::exit(1);
    }
    std::string text;
    int lines = 0;
    for (;;) {
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (content.empty())
                continue;
            if (content.back() != '\n')
                content += '\n';
            std::size_t start = 0;
            while (start < content.size()) {
                const std::size_t end = content.find('\n', start);
                text.append(content, start, end + 1 - start);
                start = end + 1;
                ++lines;
                if ((Lines > 0 && lines == Lines) || (Lines == 0 && text.size() >= Bytes))
                    return text;
            }
        }
    }
}

inline void WriteFile(const std::string& Path, const std::string& Text)
{
    std::ofstream out(Path, std::ios::binary);
    out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
}
