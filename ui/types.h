#pragma once

#include <algorithm>
#include <cstdint>

// Geometry and colour values shared by the model and its backends.
namespace norvane::ui {

// 32-bit ARGB colour.
using Color = std::uint32_t;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Half-open rectangle: contains x when left <= x < right.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    // True when the two rectangles share at least one pixel.
    bool Intersects(const Rect& o) const {
        return std::max(left, o.left) < std::min(right, o.right) &&
               std::max(top, o.top) < std::min(bottom, o.bottom);
    }
    Rect Intersection(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        if (r.IsEmpty()) {
            return {};
        }
        return r;
    }
    Rect Union(const Rect& o) const {
        if (IsEmpty()) {
            return o;
        }
        if (o.IsEmpty()) {
            return *this;
        }
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    // Shrinks by the four insets (left, top, right, bottom).
    Rect Deflate(const Rect& inset) const {
        return {left + inset.left, top + inset.top, right - inset.right, bottom - inset.bottom};
    }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Point Center() const { return {left + Width() / 2, top + Height() / 2}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace norvane::ui
