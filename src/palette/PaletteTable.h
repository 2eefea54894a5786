#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "palette/PaletteChannels.h"
#include "palette/TColorPalette1D.h"

// A palette's chain read once into arrays, for painting passes that look up millions of samples:
// GetSample gives exactly TColorPalette1D::GetSample's values (the same arithmetic in the same
// order) without following the chain. A lookup that would run off the chain's end (a broken
// chain, an internal error) is passed to the palette, which reports it. The arrays are public to
// the vector painters, which look up several positions at once. Refers to the palette, which
// must outlive the table and stay unchanged while it is used.
class PaletteTable {
 public:
  explicit PaletteTable(const TColorPalette1D& palette);

  TColorPalette1D::TSample GetSample(double position, bool super) const {
    const double normalised = Normalise(position);
    // Positions below the first item count as the first item's (a NaN too).
    const double p = normalised >= positions[0] ? normalised : positions[0];
    std::size_t i = 0;
    for (;;) {
      if (i + 1 >= positions.size()) return palette_->GetSample(position, super);
      if (p > positions[i + 1]) {
        ++i;
        continue;
      }
      break;
    }
    const double span = positions[i + 1] - positions[i];
    const double t = span > 0 ? (p - positions[i]) / span : 1.0;
    TColorPalette1D::TSample sample;
    sample.transFactor = transFrom[i] + t * (transTo[i] - transFrom[i]);
    if (super) {
      sample.red = t * superTo[0][i] + (1 - t) * superFrom[0][i];
      sample.green = t * superTo[1][i] + (1 - t) * superFrom[1][i];
      sample.blue = t * superTo[2][i] + (1 - t) * superFrom[2][i];
    } else {
      // Truncated into a byte, as the palette's colour word holds it.
      sample.red = PaletteChannels::TruncChannel((1 - t) * from[0][i] + t * to[0][i]);
      sample.green = PaletteChannels::TruncChannel((1 - t) * from[1][i] + t * to[1][i]);
      sample.blue = PaletteChannels::TruncChannel((1 - t) * from[2][i] + t * to[2][i]);
    }
    return sample;
  }

  // TColorPalette1D::NormalisePosition: wrapped (cyclic) or clamped into 0..1.
  double Normalise(double position) const {
    if (cyclic) {
      position -= std::floor(position);
      return position >= 0 && position <= 1 ? position : 0.0;
    }
    if (!(position >= 0)) return 0.0;
    return position > 1 ? 1.0 : position;
  }

  // Whether a stretch can be found by counting the item positions below a position (instead of
  // walking): at least two items, in ascending order, none a NaN.
  bool Countable() const { return countable_; }

  bool cyclic;
  // The item positions, and per stretch (item i to item i + 1) its values at both ends: the
  // colour channels, the super colour channels and the transparency factors.
  std::vector<double> positions;
  std::vector<double> from[3], to[3], superFrom[3], superTo[3];
  std::vector<double> transFrom, transTo;

 private:
  const TColorPalette1D* palette_;
  bool countable_ = false;
};
