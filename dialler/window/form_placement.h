#pragma once
// Where Form1's controls go at a DPI: the table's twips in pixels, with the
// captions fitted so that each shows whole and none reaches into the field
// it names, whatever the font.

#include <algorithm>
#include <array>
#include <cstddef>

#include "dialler/window/form_layout.h"
#include "dialler/window/twips.h"

struct TextSize {
  int width;
  int height;
};

using ControlRects = std::array<PixelRect, kForm1Controls.size()>;

// The least room between a caption and the field beside it: 2 px at 96 DPI.
inline constexpr int kCaptionGapTwips = 30;

// The table's rectangles at `dpi`, by table position.
inline ControlRects TableRects(int dpi) {
  ControlRects rects{};
  for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
    const ControlRecord& r = kForm1Controls[i];
    rects[i] = TwipsRectToPixels(r.left, r.top, r.width, r.height, dpi);
  }
  return rects;
}

// `text_sizes` holds, by table position, the extent of each fit-to-text
// caption in the window's font; other entries are not read.
inline ControlRects PlaceForm1Controls(
    int dpi, const std::array<TextSize, kForm1Controls.size()>& text_sizes) {
  ControlRects rects = TableRects(dpi);
  for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
    if (kForm1Controls[i].fit_to_text) {
      rects[i].width = text_sizes[i].width;
      rects[i].height = text_sizes[i].height;
    }
  }
  for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
    if (kForm1Controls[i].names == 0) continue;
    PixelRect& caption = rects[i];
    PixelRect& field = rects[PositionOf(kForm1Controls[i].names)];
    const int caption_bottom = caption.top + caption.height;
    const int field_bottom = field.top + field.height;
    if (caption.top < field.top && caption_bottom > field.top) {
      // A heading over its field ends where the field begins; the field's
      // border is drawn whole.
      caption.height = field.top - caption.top;
    } else if (caption.left < field.left && caption.top < field_bottom &&
               caption_bottom > field.top) {
      // A caption beside its field: when its text needs more room than the
      // table gives, the field gives way on its left and keeps its right
      // edge, which lines up with the controls above. It keeps at least
      // half its width.
      const int wanted_left = caption.left + caption.width + TwipsToPixels(kCaptionGapTwips, dpi);
      const int right = field.left + field.width;
      field.left = std::clamp(wanted_left, field.left, right - field.width / 2);
      field.width = right - field.left;
    }
  }
  return rects;
}
