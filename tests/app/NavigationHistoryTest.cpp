#include "app/NavigationHistory.h"

#include <gtest/gtest.h>

namespace {

PlaneRect Rect(double size) { return {-size, size, size, -size}; }

TEST(NavigationHistory, BackForwardHomeAndANewStepDroppingTheForwardOnes) {
  TNavigationHistory history;
  history.Reset(Rect(2));
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_FALSE(history.CanGoHome());
  for (double size : {1.0, 0.5, 0.25}) history.Visit(Rect(size));
  history.Visit(Rect(0.25));  // the same rectangle again records nothing
  EXPECT_EQ(history.Size(), 4u);
  EXPECT_EQ(history.Back(), Rect(0.5));
  EXPECT_EQ(history.Back(), Rect(1));
  EXPECT_EQ(history.Forward(), Rect(0.5));
  EXPECT_TRUE(history.CanGoForward());
  EXPECT_EQ(history.Home(), Rect(2));  // a step: the forward ones go
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_FALSE(history.CanGoHome());
  EXPECT_EQ(history.Back(), Rect(0.5));
  history.Visit(Rect(3));
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.Current(), Rect(3));
  EXPECT_EQ(history.Back(), Rect(0.5));
}

TEST(NavigationHistory, LongHistoriesKeepTheLatestSteps) {
  TNavigationHistory history;
  history.Reset(Rect(1));
  for (int i = 1; i <= 5000; ++i) history.Visit(Rect(1.0 / (i + 1)));
  EXPECT_EQ(history.Size(), 1000u);
  EXPECT_EQ(history.Current(), Rect(1.0 / 5001));
  EXPECT_TRUE(history.CanGoHome());
  EXPECT_EQ(history.Home(), Rect(1));
}

}  // namespace
