// Plane geometry shared by drawing and windows: points, sizes and rectangles in device
// pixels, with the rectangle helpers the drawing code uses. A rectangle includes its
// Left/Top edge and excludes its Right/Bottom edge.
#pragma once

#include "platform/runtime/System.h"

#include <algorithm>
#include <cstdint>

struct TPoint {
    Integer X = 0;
    Integer Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    Integer cx = 0;
    Integer cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    Integer Left = 0;
    Integer Top = 0;
    Integer Right = 0;
    Integer Bottom = 0;

    Integer Width() const { return Right - Left; }
    Integer Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(Integer x, Integer y)
{
    return {x, y};
}

inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom)
{
    return {left, top, right, bottom};
}

// True when the rectangle covers no pixel (zero or negative width or height).
inline bool IsRectEmpty(const TRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

// The common part of a and b in dest; an empty result is the all-zero rectangle and
// gives false.
inline bool IntersectRect(TRect& dest, const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dest = TRect{};
        return false;
    }
    dest = r;
    return true;
}

inline bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

inline void InflateRect(TRect& r, Integer dx, Integer dy)
{
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}

inline void OffsetRect(TRect& r, Integer dx, Integer dy)
{
    r.Left += dx;
    r.Top += dy;
    r.Right += dx;
    r.Bottom += dy;
}

// number * numerator / denominator with a 64-bit intermediate, rounded to nearest (halves
// away from zero); -1 when the denominator is 0 or the result does not fit an Integer.
inline Integer MulDiv(Integer number, Integer numerator, Integer denominator)
{
    if (denominator == 0)
        return -1;
    const Int64 product = static_cast<Int64>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::uint64_t magnitude = product < 0 ? 0 - static_cast<std::uint64_t>(product)
                                                : static_cast<std::uint64_t>(product);
    const std::uint64_t divisor = denominator < 0 ? 0 - static_cast<std::uint64_t>(denominator)
                                                  : static_cast<std::uint64_t>(denominator);
    const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > 0x7FFFFFFFu)
        return -1;
    const Integer result = static_cast<Integer>(quotient);
    return negative ? -result : result;
}
