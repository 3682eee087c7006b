#pragma once
// Client-pixel geometry shared by the port, the skinned controls and the
// window logic. Rectangles are half-open: right and bottom are outside.

namespace tavelo {

struct Point {
  int x = 0;
  int y = 0;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  static Rect FromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
};

// Boxes laid out in dialog units of the 12-pixel dialog font: 1.5 pixels
// each way.
inline Rect DialogUnits(int x, int y, int width, int height) {
  return Rect::FromSize(x * 3 / 2, y * 3 / 2, width * 3 / 2, height * 3 / 2);
}

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const Size& a, const Size& b) { return a.width == b.width && a.height == b.height; }
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace tavelo
