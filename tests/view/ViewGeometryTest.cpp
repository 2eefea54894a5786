#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

#include <string>

#include "fractal/TFractProps.h"
#include "fractal/TFractResult.h"

void PrintTo(const PlaneRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
void PrintTo(const PixelRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(WheelFactor, StepsFollowTheTwoRegimes) {
  struct Case {
    double factor;
    bool up;
    double expected;
  } cases[] = {{0.5, false, (0.5 - 0.05) * 0.99}, {0.5, true, 0.55}, {0.4, false, 0.36},
               {0.4, true, 0.4 * 1.1 + 0.01},     {0.9, true, 0.91}, {0.9, false, 0.8811}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(WheelFactor(c.factor, c.up), c.expected) << c.factor << (c.up ? " up" : " down");
  }
  EXPECT_DOUBLE_EQ(WheelFactor(0.5, false), 0.4455);
}

TEST(ZoomRect, CentredOnTheClickWithTruncatedEdges) {
  EXPECT_EQ(ZoomRectAt(100, 50, 0.5, 200, 100), (PixelRect{50, 25, 150, 75}));
  // Half sizes 0.3 * 0.5 * 101 = 15.15 and 0.3 * 0.5 * 33 = 4.95: edges truncate toward zero.
  EXPECT_EQ(ZoomRectAt(10, 3, 0.3, 101, 33), (PixelRect{-5, -1, 25, 7}));
}

TEST(ZoomPlane, InMapsTheRectangleOutShrinksTheViewIntoIt) {
  const PlaneRect plane{-2, 2, 2, -2};
  const PixelRect zoom{50, 50, 150, 150};
  EXPECT_EQ(ZoomInPlane(plane, zoom, 200, 200), (PlaneRect{-1, 1, 1, -1}));
  EXPECT_EQ(ZoomOutPlane(plane, zoom, 200, 200), (PlaneRect{-4, 4, 4, -4}));
  // Zooming out with the rectangle of a zoom in gives the plane back.
  const PixelRect offCentre{20, 30, 120, 90};
  const PlaneRect in = ZoomInPlane(plane, offCentre, 200, 200);
  const PlaneRect back = ZoomOutPlane(in, offCentre, 200, 200);
  EXPECT_NEAR(back.left, plane.left, 1e-12);
  EXPECT_NEAR(back.top, plane.top, 1e-12);
  EXPECT_NEAR(back.right, plane.right, 1e-12);
  EXPECT_NEAR(back.bottom, plane.bottom, 1e-12);
}

TEST(ZoomPlane, UnusableZoomsAreRefused) {
  const PlaneRect plane{-2, 2, 2, -2};
  EXPECT_TRUE(ZoomUsable(ZoomInPlane(plane, {1, 1, 3, 3}, 4, 4), {1, 1, 3, 3}, 4, 4));
  // A window one pixel small gives an empty zoom rectangle: zooming out would divide by zero.
  const PixelRect empty = ZoomRectAt(0, 0, 0.5, 1, 1);
  EXPECT_FALSE(ZoomUsable(ZoomOutPlane(plane, empty, 1, 1), empty, 1, 1));
  // Beyond the resolution of doubles the edges collapse.
  const PlaneRect tiny{1.0, 1.0, 1.0 + 4e-16, 1.0 - 4e-16};
  const PixelRect zoom{100, 100, 101, 101};
  EXPECT_FALSE(ZoomUsable(ZoomInPlane(tiny, zoom, 1000, 1000), zoom, 1000, 1000));
}

TEST(ZoomLimit, SamplesMustStayDistinctInDoubles) {
  struct Case {
    PlaneRect plane;
    int resolution;
    bool within;
  } cases[] = {
      {{-2, 1.5, 1, -1.5}, 300, true},
      {{0.5 - 5e-15, 5e-15, 0.5 + 5e-15, -5e-15}, 300, false},  // 1e-14 wide around 0.5
      {{-5e-301, 5e-301, 5e-301, -5e-301}, 300, true},          // 1e-300 around 0
      {{-1e-12, 0, 1e-12, -1e-12}, 300, true},
      {{1, 1, 1 + 0x1p-40, 1 - 0x1p-40}, 1, true},
      {{1, 1, 1 + 0x1p-40, 1 - 0x1p-40}, 1 << 11, false},  // spacing 2^-51 at |1|
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithinPrecision(c.plane, c.resolution, c.resolution), c.within)
        << c.plane.left << ".." << c.plane.right << " at " << c.resolution;
  }
}

class MouseStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    props.XResolution = unitIntegerPosMore(4);
    props.YResolution = unitIntegerPosMore(2);
    props.MaxDepth = unitIntegerPosMore(100);
    std::string error;
    result = TFractResult::Create(props, false, error);
    ASSERT_TRUE(result) << error;
    result->SetDepth(0, 0, 0.25f);   // outside after 25 steps
    result->SetDepth(1, 0, -0.5f);   // inside, depth 50
    result->SetCycle(1, 0, 3);
    result->SetDepth(3, 1, 0.0f);    // maximum depth
  }
  TFractProps props;
  std::unique_ptr<TFractResult> result;
};

TEST_F(MouseStatusTest, PanelsByTypeOfSample) {
  struct Case {
    int x, y;
    std::string type, depth, cycle;
  } cases[] = {{0, 0, "Type: Outside", "Depth: 25", ""},
               {2, 0, "Type: Inside", "Depth: 50", "Cycle: 3"},  // window 8 x 4: column 1
               {7, 3, "Type: Max Depth", "", ""},
               {8, 4, "Type: Max Depth", "", ""}};  // the edge reads the last sample
  for (const Case& c : cases) {
    const StatusTexts s = MouseStatus(props, result.get(), false, c.x, c.y, 8, 4);
    EXPECT_EQ(s.panel[1], c.type) << c.x << "," << c.y;
    EXPECT_EQ(s.panel[2], c.depth) << c.x << "," << c.y;
    EXPECT_EQ(s.panel[3], c.cycle) << c.x << "," << c.y;
    EXPECT_EQ(s.update, (std::array<bool, 4>{true, true, true, true}));
  }
}

TEST_F(MouseStatusTest, PlanePointAndPictureUse) {
  const StatusTexts s = MouseStatus(props, result.get(), false, 4, 1, 8, 4);
  EXPECT_EQ(s.panel[0], "Z: (0,0.75)");
  const StatusTexts pictures = MouseStatus(props, result.get(), true, 0, 0, 8, 4);
  EXPECT_EQ(pictures.panel[0], "Z: (-1.5,1.5)");
  EXPECT_EQ(pictures.update, (std::array<bool, 4>{true, false, false, false}));
}

TEST(BitmapPoint, StretchedMappingIsClamped) {
  EXPECT_EQ(BitmapPointAt(99, 49, 100, 50, 10, 5).x, 9);
  EXPECT_EQ(BitmapPointAt(99, 49, 100, 50, 10, 5).y, 4);
  EXPECT_EQ(BitmapPointAt(100, 50, 100, 50, 10, 5).x, 9);
  EXPECT_EQ(BitmapPointAt(0, 0, 100, 50, 10, 5).y, 0);
}

}  // namespace
