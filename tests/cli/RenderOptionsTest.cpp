#include "cli/RenderOptions.h"

#include <gtest/gtest.h>

#include "cli/ProgressBar.h"

namespace {

struct OptionCase {
  std::vector<std::string> args;
  bool ok;
  std::string error;
};

class RenderOptionsCases : public ::testing::TestWithParam<OptionCase> {};

TEST_P(RenderOptionsCases, ParsesOrNamesTheFault) {
  RenderOptions options;
  std::string error;
  EXPECT_EQ(ParseRenderOptions(GetParam().args, options, error), GetParam().ok);
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderOptionsCases,
    ::testing::Values(
        OptionCase{{"-o", "x.bmp"}, true, ""}, OptionCase{{"--output=x.png", "d.kvf"}, true, ""},
        OptionCase{{"--help"}, true, ""}, OptionCase{{"--version"}, true, ""},
        OptionCase{{}, false, "no output picture given (-o FILE)"},
        OptionCase{{"d.kvf"}, false, "no output picture given (-o FILE)"},
        OptionCase{{"-o"}, false, "option -o needs a value"},
        OptionCase{{"-o", "x.bmp", "-t", "0"}, false,
                   "invalid thread count \"0\" (a whole number from 1 to 1024)"},
        OptionCase{{"-o", "x.bmp", "-t", "2x"}, false,
                   "invalid thread count \"2x\" (a whole number from 1 to 1024)"},
        OptionCase{{"-o", "x.bmp", "--fast"}, false, "unknown option --fast"},
        OptionCase{{"-o", "x.bmp", "a.kvf", "b.kvf"}, false,
                   "only one document can be rendered at a time"}));

TEST(RenderOptions, FillsEveryField) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({"-q", "-t", "3", "doc.kvf", "--save-document", "out.kvf",
                                  "--output", "pic.tif"},
                                 options, error));
  EXPECT_TRUE(options.quiet);
  EXPECT_EQ(options.threads, 3);
  EXPECT_EQ(options.document, "doc.kvf");
  EXPECT_EQ(options.saveDocument, "out.kvf");
  EXPECT_EQ(options.output, "pic.tif");
}

TEST(ProgressBar, ShowsPercentElapsedAndEstimate) {
  EXPECT_EQ(ProgressBar::Format(0, 100, 0, 10), "[..........] 0%  00:00");
  EXPECT_EQ(ProgressBar::Format(25, 100, 30, 10), "[##........] 25%  00:30  left 01:30");
  EXPECT_EQ(ProgressBar::Format(100, 100, 3725, 10), "[##########] 100%  1:02:05");
  EXPECT_EQ(ProgressBar::Format(5, 0, 1, 4), "[####] 100%  00:01");
}

}  // namespace
