// A reference conversion between single-byte code pages through the C library's iconv:
// each byte on its own, '?' for a byte the target cannot hold.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

inline std::string IconvBytes(const char* From, const char* To, const std::string& Text)
{
    iconv_t cd = iconv_open(To, From);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << From << " -> " << To;
    std::string result;
    for (char c : Text) {
        char in = c;
        char out[8] = {};
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        result += done == static_cast<size_t>(-1) || outPtr - out != 1 ? '?' : out[0];
    }
    iconv_close(cd);
    return result;
}
