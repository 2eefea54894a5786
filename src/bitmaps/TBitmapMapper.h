#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "fractal/OrbitMapper.h"

class BitmapsProps;

// The picture mapping of one computation: a snapshot of the uses whose picture is resolved and
// loaded, taken before the computation starts. It keeps the picture planes alive by itself, so
// later edits of the properties cannot reach a running computation. Shared read-only by all
// workers; MapSample allocates nothing.
class TBitmapMapper : public TOrbitMapper {
 public:
  // One use as the mapping reads it.
  struct MappedUse {
    double Left = -1, Right = 1, Top = 1, Bottom = -1;
    bool BmpReciproke = false;
    bool Smooth = true;
    bool BmpTransOptColor = false;
    int TransRed = 0, TransGreen = 0, TransBlue = 0;
    double WidthMaxTrans = 0, WidthNoTrans = 0.5;
    double BasicTransFactor = 1;
    std::int32_t DepthModulo = 1, DepthMin = 1, DepthMax = 0;
    int Width = 0, Height = 0;
    // Column-major planes (index = row + column * Height); Trans may be nullptr.
    const std::uint32_t* RGB = nullptr;
    const std::uint8_t* Trans = nullptr;
    std::shared_ptr<const std::vector<std::uint32_t>> keepRGB;
    std::shared_ptr<const std::vector<std::uint8_t>> keepTrans;

    // Whether the use paints at iteration step d.
    bool AppliesAt(int d) const;
  };

  // The uses of props (after ResolveUses) whose picture's current set is loaded, in list order.
  explicit TBitmapMapper(const BitmapsProps& props);

  // Whether any use can paint (the properties are active).
  bool IsActive() const { return !uses_.empty(); }
  const std::vector<MappedUse>& Uses() const { return uses_; }

  // Composites every applying use front to back into the accumulators.
  void MapSample(double wRe, double wIm, double qRe, double qIm, int step, double& R, double& G,
                 double& B, double& A) const override;

  // The colour (0..255 per channel) and opacity of one use at plane point (x, y). A rectangle of
  // zero width or height and points far outside the picture give colour 0 and opacity 0.
  static void MapUse(double x, double y, const MappedUse& use, double& r, double& g, double& b,
                     double& a);

 private:
  std::vector<MappedUse> uses_;
};
