// The byte tables the code-page commands are to follow, built from the C library's iconv:
// a byte that iconv converts to one byte goes to it; the other bytes from 128 up (whose
// character the target lacks, or that the source leaves undefined) go, in ascending
// order, onto the target's bytes from 128 up that no byte went to, in ascending order.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <string>
#include <vector>

using TIconvByteMap = std::array<unsigned char, 256>;

inline TIconvByteMap IconvByteMap(const char* From, const char* To)
{
    iconv_t cd = iconv_open(To, From);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << From << " -> " << To;
    TIconvByteMap map{};
    std::array<bool, 256> taken{};
    std::vector<int> unpaired;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8] = {};
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (done == static_cast<size_t>(-1) || outPtr - out != 1) {
            unpaired.push_back(b);
        } else {
            map[b] = static_cast<unsigned char>(out[0]);
            taken[map[b]] = true;
        }
    }
    iconv_close(cd);
    int free = 128;
    for (int b : unpaired) {
        while (taken[free])
            ++free;
        map[b] = static_cast<unsigned char>(free++);
    }
    return map;
}

inline std::string IconvBytes(const char* From, const char* To, const std::string& Text)
{
    const TIconvByteMap map = IconvByteMap(From, To);
    std::string result;
    for (char c : Text)
        result += static_cast<char>(map[static_cast<unsigned char>(c)]);
    return result;
}
