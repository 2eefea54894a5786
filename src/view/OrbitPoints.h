#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fractal/TComplex.h"
#include "view/GridShapes.h"

struct TKernelParams;

// One orbit point series: the points from the clicked point on, one per iteration step, and the
// parameters it iterates with.
struct TOrbitSeries {
  std::vector<TComplex> Points;  // plane points, the clicked one first
  std::uint8_t Grouping = 0;     // 1: belongs to the polygon the next Group closes
  int GroupPartner = -1;         // the series (creation index) whose points are joined, -1: none
  TComplex c, d;
};

// The orbit points of a view: series started by clicks, each advanced by the document's formula
// one step at a time, optionally grouped into closed polygons whose corners are iterated
// together. Not stored in any file.
class TOrbitPoints {
 public:
  // Pen colours (red in the low byte).
  static constexpr std::uint32_t kPartnerColor = 0x00FFFF;  // yellow
  static constexpr std::uint32_t kChainColor = 0xFFFFFF;    // white
  static constexpr std::uint32_t kInnerColor = 0x000000;    // black

  // A new newest series whose first point is (x, y); c is (x, y) with the map variable c, else
  // the parameters' c, and likewise d.
  void AddSeries(double x, double y, std::uint8_t grouping, const TKernelParams& params);
  // Appends one step of the parameters' formula from every series' last point. A step without a
  // finite result appends a NaN point, so the k-th points of grouped series stay aligned.
  void AddNextPoints(const TKernelParams& params);
  // Closes the newest series and the run of older series marked 1 directly behind it into a
  // ring (newest -> older -> ... -> newest); a lone series gets no partner. Every visited series
  // is unmarked.
  void Group();
  void RemoveAll() { series_.clear(); }

  std::size_t Count() const { return series_.size(); }
  // Series by age: 0 is the newest.
  const TOrbitSeries& Newest(std::size_t age) const { return series_[series_.size() - 1 - age]; }
  // The creation index of the series of that age (what GroupPartner holds).
  int IndexOf(std::size_t age) const { return static_cast<int>(series_.size() - 1 - age); }

  // What drawing the points over a client area of width x height pixels shows, in order: per
  // series (newest first) along its chain a yellow line to the partner's point of the same
  // step and a white line to the next point; then, from the last point back to the first, a
  // white circle of radius 3 and a black one of radius 2 around each point (so earlier circles
  // lie on top). Points that are not finite or lie far outside the client area get no circles;
  // lines to them are clipped or left out.
  OverlayShapes Draw(const PlaneRect& plane, int width, int height) const;

 private:
  std::vector<TOrbitSeries> series_;  // oldest first: indices stay valid while series are added
};
