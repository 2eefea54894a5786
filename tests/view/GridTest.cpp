#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "view/Grid.h"

inline void PrintTo(const OverlayShape& s, std::ostream* os) {
  *os << (s.kind == OverlayShape::Kind::Line ? "line " : "ellipse ") << s.x1 << "," << s.y1 << " "
      << s.x2 << "," << s.y2 << " #" << std::hex << s.color << std::dec;
}

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const PlaneRect kSquare{-4.0, 4.0, 4.0, -4.0};  // left, top, right, bottom

TEST(GridTest, NiceRoundsToTwoFiveOrTenTimesAPowerOfTen) {
  const struct {
    double v, nice;
  } cases[] = {{1.0, 2.0},    {0.25, 0.2}, {0.35, 0.5},  {7.0, 10.0}, {0.5, 0.5},
               {1.5, 2.0},    {0.3, 0.5},  {60.0, 100.0}, {0.0, 0.0}, {-1.0, 0.0},
               {kInf, 0.0},   {kNaN, 0.0}, {1e308, kInf}};
  for (const auto& c : cases) EXPECT_EQ(Nice(c.v), c.nice) << c.v;
}

TEST(GridTest, SpacingFollowsTheLargerClientSide) {
  const struct {
    PlaneRect plane;
    int width, height;
    double sub, main;
  } cases[] = {
      {kSquare, 320, 320, 0.5, 2.0},
      {{0.0, 1.0, 16.0, 0.0}, 640, 320, 0.5, 2.0},  // wider: 16 / (0.05 * 640)
      {{0.0, 8.0, 1.0, 0.0}, 100, 320, 0.5, 2.0},   // taller: 8 / (0.05 * 320)
      {{1.0, 1.0, 1.0, 1.0}, 320, 320, 0.0, 0.0},   // no extent: nothing
      {kSquare, 0, 0, 0.0, 0.0},
  };
  for (const auto& c : cases) {
    const GridSpacing s = GridSpacingOf(c.plane, c.width, c.height);
    EXPECT_EQ(s.sub, c.sub);
    EXPECT_EQ(s.main, c.main);
  }
}

TEST(GridTest, StraightLinesAtTheMultiplesSubLevelFirst) {
  for (const bool realPart : {true, false}) {
    TGrid grid;
    grid.Horizontal = realPart;
    grid.Vertical = !realPart;
    const OverlayShapes shapes = GridShapes(grid, kSquare, 320, 320);
    ASSERT_EQ(shapes.size(), 17u + 5u);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      const bool sub = i < 17;
      // Sub lines every 0.5 (20 pixels) from -4, main lines every 2 (80 pixels).
      const int step = sub ? static_cast<int>(i) * 20 : static_cast<int>(i - 17) * 80;
      const int at = realPart ? step : 320 - step;  // imaginary parts grow upwards
      const OverlayShape expected =
          realPart ? OverlayShape{OverlayShape::Kind::Line, at, 0, at, 320, 0}
                   : OverlayShape{OverlayShape::Kind::Line, 0, at, 320, at, 0};
      OverlayShape got = shapes[i];
      EXPECT_EQ(got.color, sub ? 0x808080u : 0xFFFFFFu) << i;
      got.color = 0;
      EXPECT_EQ(got, expected) << realPart << " " << i;
    }
  }
}

TEST(GridTest, BeamsOnlyWhereTheyMeetARectangleAwayFromTheOrigin) {
  const PlaneRect plane{1.0, 2.0, 2.0, 1.0};  // 1..2 by 2..1
  const BeamRange range = BeamRangeOf(plane);
  EXPECT_NEAR(range.start, 26.565, 1e-3);
  EXPECT_NEAR(range.end, 63.435, 1e-3);
  for (double step : {1.0, 2.0, 5.0, 10.0, 20.0}) {
    int drawn = 0;
    for (double a : BeamAngles(plane, step, 1000)) {
      EXPECT_EQ(std::fmod(a, step), 0.0) << a;
      OverlayShape line;
      const bool meets = BeamLine(plane, a, 100, 100, line);
      EXPECT_EQ(meets, a > range.start && a < range.end) << step << " " << a;
      drawn += meets;
    }
    EXPECT_GT(drawn, 0) << step;
  }
  // With the origin inside, the whole half turn.
  EXPECT_EQ(BeamAngles(kSquare, 45.0, 1000), (std::vector<double>{0.0, 45.0, 90.0, 135.0}));
}

TEST(GridTest, BeamThroughACornerWithThreeCandidatesIsDrawnClipped) {
  const double t = std::tan(75.0 * kPi / 180.0);
  const PlaneRect plane{1.5, 3.0 * t, 3.0, 0.1};
  // Premise: (Right, Right t) and (Top / t, Top) are both in the rectangle and distinct.
  ASSERT_LE(plane.top / t, plane.right);
  ASSERT_NE(plane.top / t, plane.right);
  OverlayShape line;
  ASSERT_TRUE(BeamLine(plane, 75.0, 200, 200, line));
  const PixelPoint a = PixelOf(plane, plane.left, plane.left * t, 200, 200);
  EXPECT_EQ(line.x1, static_cast<int>(a.x));
  EXPECT_EQ(line.y1, static_cast<int>(a.y));
  EXPECT_EQ(line.x2, 200);
  EXPECT_EQ(line.y2, 0);
}

TEST(GridTest, CirclesOnlyForAnUprightRectangle) {
  TGrid grid;
  grid.Circles = true;
  const OverlayShapes upright = GridShapes(grid, kSquare, 320, 320);
  ASSERT_FALSE(upright.empty());
  // Sub radii 0, 0.5 .. 5.5 (the corners lie at 5.66), then main radii 0, 2, 4.
  EXPECT_EQ(upright.size(), 12u + 3u);
  EXPECT_EQ(upright[1], (OverlayShape{OverlayShape::Kind::Ellipse, 140, 180, 180, 140, 0x808080}));
  const PlaneRect flipped{-4.0, -4.0, 4.0, 4.0};  // Top below Bottom
  EXPECT_TRUE(GridShapes(grid, flipped, 320, 320).empty());
}

// Spacings that are zero, not finite, or so small against the coordinates that steps vanish in
// double arithmetic: every family ends, with at most as many shapes as the client has pixels and
// every coordinate near the client.
TEST(GridTest, HostileRectanglesDrawBoundedOrNothing) {
  const struct {
    const char* name;
    PlaneRect plane;
  } cases[] = {
      {"deep zoom far out", {1e10, 1e10 + 1e-6, 1e10 + 1e-6, 1e10}},
      {"deep zoom at the origin", {-1e-300, 1e-300, 1e-300, -1e-300}},
      {"near a huge circle", {1000.0, 0.002, 1000.002, 0.0}},
      {"huge extent", {-1e308, 1e308, 1e308, -1e308}},
      {"infinite", {-kInf, kInf, kInf, -kInf}},
      {"not a number", {kNaN, 1.0, 1.0, -1.0}},
      {"collapsed", {2.0, 2.0, 2.0, 2.0}},
      {"subnormal extent", {0.0, 5e-324, 5e-324, 0.0}},
  };
  TGrid grid;
  grid.Horizontal = grid.Vertical = grid.Circles = grid.Beams = true;
  for (const auto& c : cases) {
    const OverlayShapes shapes = GridShapes(grid, c.plane, 300, 200);
    EXPECT_LE(shapes.size(), 2u * 4u * 500u + 2u * 20000u) << c.name;
    for (const OverlayShape& s : shapes) {
      for (int v : {s.x1, s.y1, s.x2, s.y2}) {
        EXPECT_LE(std::abs(v), 16384 + 300 + 200) << c.name;
      }
    }
  }
}

TEST(GridTest, ALargeCircleBecomesItsVisibleArc) {
  // Radius 1000 seen through a window 0.002 wide: a box a million pixels wide.
  TGrid grid;
  grid.Circles = true;
  const PlaneRect plane{999.999, 0.001, 1000.001, -0.001};
  const OverlayShapes shapes = GridShapes(grid, plane, 200, 200);
  ASSERT_FALSE(shapes.empty());
  bool radius1000 = false;
  for (const OverlayShape& s : shapes) {
    ASSERT_EQ(s.kind, OverlayShape::Kind::Line);
    // Each circle crosses the window as a near-vertical line, radius 1000 through the middle.
    EXPECT_NEAR(s.x1, s.x2, 1);
    radius1000 |= std::abs(s.x1 - 100) <= 1 && s.y1 != s.y2;
  }
  EXPECT_TRUE(radius1000);
}

}  // namespace
