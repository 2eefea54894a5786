#include "fractal/TFractResult.h"

#include <gtest/gtest.h>

#include <string>

#include "fractal/TFractProps.h"

namespace {

std::unique_ptr<TFractResult> Make(int width, int height, int maxCycle, bool pictures) {
  std::string error;
  auto result = TFractResult::Create(width, height, maxCycle, pictures, error);
  EXPECT_TRUE(result) << error;
  EXPECT_EQ(error, "");
  return result;
}

}  // namespace

TEST(TFractResult, PlanesAreChosenAtCreation) {
  struct Case {
    int maxCycle;
    bool pictures;
    bool cycles;
    bool colors;
  };
  for (const Case& c : {Case{0, false, false, false}, Case{1, false, false, false},
                        Case{2, false, true, false}, Case{3, true, false, true},
                        Case{0, true, false, true}}) {
    auto result = Make(5, 4, c.maxCycle, c.pictures);
    EXPECT_EQ(result->HasCycles(), c.cycles) << c.maxCycle << " " << c.pictures;
    EXPECT_EQ(result->HasColors(), c.colors) << c.maxCycle << " " << c.pictures;
    EXPECT_EQ(result->GetComputed(), 0);
    EXPECT_EQ(result->GetPainted(), 0);
    EXPECT_EQ(result->GetBitmap(), nullptr);
  }
  TFractProps props;
  std::string error;
  auto fromProps = TFractResult::Create(props, false, error);
  ASSERT_TRUE(fromProps);
  EXPECT_EQ(fromProps->GetWidth(), 300);
  EXPECT_EQ(fromProps->GetHeight(), 300);
  EXPECT_TRUE(fromProps->HasCycles());
}

TEST(TFractResult, WithoutACyclePlaneEverySampleHasCycleOne) {
  auto result = Make(3, 3, 1, false);
  result->SetCycle(1, 1, 7);
  EXPECT_EQ(result->GetCycle(1, 1), 1);
  EXPECT_EQ(result->GetColor(1, 1), 0u);
  auto withPictures = Make(3, 3, 5, true);
  EXPECT_EQ(withPictures->GetCycle(2, 0), 1);
  withPictures->SetColor(2, 0, 0xFF102030u);
  EXPECT_EQ(withPictures->GetColor(2, 0), 0xFF102030u);
}

TEST(TFractResult, StorageIsColumnMajorAndAccessorsClamp) {
  auto result = Make(4, 3, 3, false);
  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 3; ++y) {
      result->SetDepth(x, y, static_cast<float>(10 * x + y));
      result->SetCycle(x, y, 10 * x + y);
    }
  }
  EXPECT_EQ(result->DepthPlane()[2 + 1 * 3], 12.0f);
  EXPECT_EQ(result->CyclePlane()[0 + 3 * 3], 30);
  EXPECT_EQ(result->GetDepth(-5, 3 + 3), 2.0f);  // column 0, last row
  EXPECT_EQ(result->GetDepth(99, -1), 30.0f);    // last column, row 0
  EXPECT_EQ(result->GetCycle(4, 3), 32);
  result->SetDepth(-1, 7, -0.5f);  // writes clamp too
  EXPECT_EQ(result->GetDepth(0, 2), -0.5f);
}

TEST(TFractResult, ImpossibleSizesAreReportedNotAllocated) {
  std::string error;
  EXPECT_EQ(TFractResult::Create(100000, 100000, 3, false, error), nullptr);
  EXPECT_EQ(error, "Not enough memory for a result of 100000 x 100000 samples.");
  EXPECT_EQ(TFractResult::Create(2147483647, 2147483647, 0, true, error), nullptr);
  EXPECT_EQ(error, "Not enough memory for a result of 2147483647 x 2147483647 samples.");
  EXPECT_EQ(TFractResult::Create(0, 10, 0, false, error), nullptr);
  EXPECT_EQ(error, "A result of 0 x 10 samples is not possible.");
}

TEST(TFractResult, OwnsItsBitmapAndPublishesItsCounts) {
  auto result = Make(2, 2, 0, false);
  result->SetBitmap(std::make_unique<Bitmap24>(2, 1));
  ASSERT_NE(result->GetBitmap(), nullptr);
  EXPECT_EQ(result->GetBitmap()->width, 2);
  result->SetComputed(2);
  result->SetPainted(1);
  EXPECT_EQ(result->GetComputed(), 2);
  EXPECT_EQ(result->GetPainted(), 1);
}
