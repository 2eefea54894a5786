#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "fractal/TKernelParams.h"
#include "view/OrbitPoints.h"

inline void PrintTo(const OverlayShape& s, std::ostream* os) {
  *os << (s.kind == OverlayShape::Kind::Line ? "line " : "ellipse ") << s.x1 << "," << s.y1 << " "
      << s.x2 << "," << s.y2 << " #" << std::hex << s.color << std::dec;
}

namespace {

const PlaneRect kPlane{-2.0, 2.0, 2.0, -2.0};  // 100 pixels per unit in 400 x 400
using Kind = OverlayShape::Kind;

TKernelParams Mandelbrot(EMapVar mapVar = MapZ) {
  TKernelParams params;
  params.formula = 0;
  params.mapVar = mapVar;
  params.cr = -1.0;
  params.ci = 0.0;
  return params;
}

std::size_t CountColor(const OverlayShapes& shapes, Kind kind, std::uint32_t color) {
  return std::count_if(shapes.begin(), shapes.end(), [&](const OverlayShape& s) {
    return s.kind == kind && s.color == color;
  });
}

TEST(OrbitPointsTest, SeriesTakeCAndDFromTheClickByTheMapVariable) {
  const struct {
    EMapVar mapVar;
    TComplex c, d;
  } cases[] = {
      {MapZ, {-1.0, 0.0}, {-0.3, -0.3}},
      {MapC, {0.3, 0.5}, {-0.3, -0.3}},
      {MapD, {-1.0, 0.0}, {0.3, 0.5}},
  };
  for (const auto& t : cases) {
    TOrbitPoints points;
    points.AddSeries(0.3, 0.5, 0, Mandelbrot(t.mapVar));
    points.AddNextPoints(Mandelbrot(t.mapVar));
    const TOrbitSeries& s = points.Newest(0);
    EXPECT_EQ(s.c.re, t.c.re);
    EXPECT_EQ(s.c.im, t.c.im);
    EXPECT_EQ(s.d.re, t.d.re);
    EXPECT_EQ(s.d.im, t.d.im);
    ASSERT_EQ(s.Points.size(), 2u);
    // z0 = 0.3 + 0.5i, then z0^2 + c.
    EXPECT_EQ(s.Points[1].re, (0.3 * 0.3 - 0.5 * 0.5) + t.c.re);
    EXPECT_EQ(s.Points[1].im, (2.0 * 0.3) * 0.5 + t.c.im);
  }
}

TEST(OrbitPointsTest, GroupClosesTheMarkedRunBehindTheNewest) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> marks;   // by creation, oldest first
    std::vector<int> partners;         // by creation index
  } cases[] = {
      {"three marked: a ring", {1, 1, 1}, {2, 0, 1}},
      {"one marked: no partner", {1}, {-1}},
      {"older unmarked stays out", {0, 1, 1}, {-1, 2, 1}},
      {"gap behind the newest", {1, 0, 1}, {-1, -1, -1}},
      {"newest unmarked still leads", {1, 1, 0}, {2, 0, 1}},
  };
  for (const auto& c : cases) {
    TOrbitPoints points;
    for (std::uint8_t mark : c.marks) points.AddSeries(0.0, 0.0, mark, Mandelbrot());
    points.Group();
    for (std::size_t age = 0; age < points.Count(); ++age) {
      const int index = points.IndexOf(age);
      EXPECT_EQ(points.Newest(age).GroupPartner, c.partners[index]) << c.name << " " << index;
    }
    EXPECT_EQ(points.Newest(0).Grouping, 0) << c.name;
  }
}

TEST(OrbitPointsTest, DrawsTheRingAsAYellowTriangleWithCirclesOnTop) {
  TOrbitPoints points;
  points.AddSeries(0.0, 0.0, 1, Mandelbrot());   // oldest
  points.AddSeries(1.0, 0.0, 1, Mandelbrot());
  points.AddSeries(0.0, 1.0, 1, Mandelbrot());   // newest
  points.Group();
  points.AddNextPoints(Mandelbrot());  // z^2 - 1: (-1, 0), (0, 0), (-2, 0)
  const OverlayShapes shapes = points.Draw(kPlane, 400, 400);
  // Newest series first: to its partner (the middle one) and along its chain, then the circles
  // from the last point back.
  const OverlayShapes newest = {
      {Kind::Line, 200, 100, 300, 200, TOrbitPoints::kPartnerColor},
      {Kind::Line, 200, 100, 0, 200, TOrbitPoints::kChainColor},
      {Kind::Line, 0, 200, 200, 200, TOrbitPoints::kPartnerColor},
      {Kind::Ellipse, -3, 197, 3, 203, TOrbitPoints::kChainColor},
      {Kind::Ellipse, -2, 198, 2, 202, TOrbitPoints::kInnerColor},
      {Kind::Ellipse, 197, 97, 203, 103, TOrbitPoints::kChainColor},
      {Kind::Ellipse, 198, 98, 202, 102, TOrbitPoints::kInnerColor},
  };
  ASSERT_GE(shapes.size(), newest.size());
  EXPECT_EQ(OverlayShapes(shapes.begin(), shapes.begin() + newest.size()), newest);
  // Every k-th point of the three is joined to the next series' k-th point: two triangles.
  EXPECT_EQ(CountColor(shapes, Kind::Line, TOrbitPoints::kPartnerColor), 6u);
  EXPECT_EQ(CountColor(shapes, Kind::Ellipse, TOrbitPoints::kInnerColor), 6u);
}

TEST(OrbitPointsTest, PartnerLinesStopWhereTheShorterChainEnds) {
  TOrbitPoints points;
  points.AddSeries(0.5, 0.0, 1, Mandelbrot());
  points.AddNextPoints(Mandelbrot());
  points.AddNextPoints(Mandelbrot());
  points.AddSeries(0.0, 0.5, 1, Mandelbrot());  // one point against three
  points.Group();
  const OverlayShapes shapes = points.Draw(kPlane, 400, 400);
  EXPECT_EQ(CountColor(shapes, Kind::Line, TOrbitPoints::kPartnerColor), 2u);  // k = 0 both ways
  EXPECT_EQ(CountColor(shapes, Kind::Line, TOrbitPoints::kChainColor), 2u);
}

// A chain of 100 000 points is drawn without recursion, in the same order.
TEST(OrbitPointsTest, VeryLongChainsDraw) {
  TOrbitPoints points;
  points.AddSeries(0.0, 0.0, 0, Mandelbrot());  // 0, -1, 0, -1, ...
  for (int i = 1; i < 100000; ++i) points.AddNextPoints(Mandelbrot());
  const OverlayShapes shapes = points.Draw(kPlane, 400, 400);
  ASSERT_EQ(shapes.size(), 99999u + 2u * 100000u);
  EXPECT_EQ(shapes.front(), (OverlayShape{Kind::Line, 200, 200, 100, 200, 0xFFFFFF}));
  // The first point's circles come last.
  EXPECT_EQ(shapes.back(), (OverlayShape{Kind::Ellipse, 198, 198, 202, 202, 0}));
}

// An escaping orbit reaches infinity and NaN: those points get no circles, lines to them are
// clipped near the window, and the series goes on taking steps.
TEST(OrbitPointsTest, EscapingOrbitsStayDrawableAndUsable) {
  TKernelParams params = Mandelbrot(MapC);
  TOrbitPoints points;
  points.AddSeries(1.0, 1.0, 0, params);
  for (int i = 0; i < 20; ++i) points.AddNextPoints(params);
  const TOrbitSeries& s = points.Newest(0);
  ASSERT_EQ(s.Points.size(), 21u);
  EXPECT_FALSE(IsFinite(s.Points.back()));
  const OverlayShapes shapes = points.Draw({-4.0, 4.0, 4.0, -4.0}, 400, 400);
  // (1, 1) and (1, 3) get circles; the line to (-7, 7) is clipped, the later ones miss.
  EXPECT_EQ(CountColor(shapes, Kind::Ellipse, TOrbitPoints::kInnerColor), 2u);
  EXPECT_EQ(CountColor(shapes, Kind::Line, TOrbitPoints::kChainColor), 2u);
  for (const OverlayShape& shape : shapes) {
    for (int v : {shape.x1, shape.y1, shape.x2, shape.y2}) {
      EXPECT_LE(std::abs(v), 400 + static_cast<int>(kOverlayMargin) + 3);
    }
  }
}

}  // namespace
