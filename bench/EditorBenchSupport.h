// What the editor benchmarks share: the offscreen platform unless another one is chosen,
// and the 100 MB file of real PHP lines that TextBufferBench writes from the corpus.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

inline const std::string BenchPhpFile = "/tmp/qv-textbuffer-bench.php";

// Before the application object: without a display the widgets draw offscreen.
inline void UseOffscreenPlatformUnlessChosen()
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// False, with the reason on the error stream, when the file is not there yet.
inline bool BenchPhpFileReady()
{
    if (std::filesystem::exists(BenchPhpFile))
        return true;
    std::cerr << BenchPhpFile << " is missing: run TextBufferBench first, which writes it\n";
    return false;
}
