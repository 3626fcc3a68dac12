#pragma once
// Looking Form1's table up by id, and comparing rectangles, for the tests.

#include <cstddef>

#include "dialler/window/form_layout.h"
#include "dialler/window/twips.h"

inline const ControlRecord& FindControl(int id) {
  for (const ControlRecord& record : kForm1Controls) {
    if (record.id == id) return record;
  }
  return kForm1Controls[0];
}

inline PixelRect TableRect(int id, int dpi) {
  const ControlRecord& r = FindControl(id);
  return TwipsRectToPixels(r.left, r.top, r.width, r.height, dpi);
}

inline bool operator==(const PixelRect& a, const PixelRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
