#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "plot/DisplayList.h"

namespace vireon {

// The marks that tell overlay curves apart. Codes above 6 have no shape and draw nothing.
enum class OverlaySymbol : std::uint8_t {
  Circle = 0,
  Square = 1,
  Diamond = 2,
  Triangle = 3,
  Plus = 4,
  Cross = 5,
  InvertedTriangle = 6,
};

// Half sizes in pixels. Shapes whose corners lie on the diagonals (square, cross) use the
// smaller one so that every symbol reaches about the same distance from its centre.
struct SymbolSize {
  int full = 5;
  int diagonal = 4;
};

// Screen spacing of the symbols along a curve, in pixels.
inline constexpr double kSymbolSpacing = 70.0;

// Appends symbol `code` centred at `centre`, outlined with `pen`.
void AppendSymbol(std::vector<DisplayItem>& items, std::uint8_t code, PixelPoint centre,
                  const SymbolSize& size, const Pen& pen);

// Where the symbols of overlay `overlay_index` sit on a polyline drawn left to right: at the
// pixel columns k · spacing + overlay_index · spacing / 7.3 (k = 0, 1, ...) that the line
// covers (rounded), each at the line's height where it first reaches that column; none for a
// spacing below one pixel.
std::vector<PixelPoint> SymbolPositions(std::span<const PixelPoint> polyline, int overlay_index,
                                        double spacing = kSymbolSpacing);

// AppendSymbol at every position SymbolPositions gives.
void AppendSymbolsAlong(std::vector<DisplayItem>& items, std::span<const PixelPoint> polyline,
                        std::uint8_t code, int overlay_index, const SymbolSize& size,
                        const Pen& pen, double spacing = kSymbolSpacing);

}  // namespace vireon
