// Twips, the unit window and column sizes are given in: 15 twips to a pixel.
#pragma once

constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(double twips) { return int(twips / TwipsPerPixel + 0.5); }
constexpr int pixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }
