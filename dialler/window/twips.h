#pragma once
// The layout is declared in twips (1/1440 inch). This is the one place they
// become device pixels.

constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, halves away from zero, so a layout mirrored
// about the origin rounds the same way on both sides.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
};

constexpr PixelRect TwipsRectToPixels(int left, int top, int width, int height, int dpi) {
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi),
          TwipsToPixels(height, dpi)};
}
