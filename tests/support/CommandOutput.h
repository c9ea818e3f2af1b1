// The standard output of a shell command, for tests that read what a tool says (pdfinfo,
// pdftotext, xdotool).
#pragma once

#include <cstdio>
#include <string>

namespace QvTest {

inline std::string CommandOutput(const std::string& Command)
{
    std::string output;
    FILE* pipe = ::popen(Command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

}  // namespace QvTest
