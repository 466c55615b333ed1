#pragma once
// Positions and sizes of controls are given in twips: 15 twips are one pixel at 96 dpi.

namespace ui {

constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return (twips + (twips >= 0 ? 7 : -7)) / kTwipsPerPixel; }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace ui
