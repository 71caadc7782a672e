// Twips (1/1440 inch), the unit the window layout is drawn in, to pixels.
#pragma once

#include <cmath>

namespace tessaly {

inline constexpr double kTwipsPerInch = 1440.0;

// TwipsToPixels converts at `dpi` logical dots per inch, rounding to the
// nearest pixel.
inline int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

}  // namespace tessaly
