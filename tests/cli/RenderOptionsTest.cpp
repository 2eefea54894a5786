#include "cli/RenderOptions.h"

#include <gtest/gtest.h>

#include "cli/ProgressBar.h"

namespace {

struct OptionCase {
  const char* name;  // the test's name
  std::vector<std::string> args;
  bool ok;
  std::string error;
  std::string document = "";
};

// Test names and failure output show the case's name, not its bytes.
void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.name; }

class RenderOptionsCases : public ::testing::TestWithParam<OptionCase> {};

TEST_P(RenderOptionsCases, ParsesOrNamesTheFault) {
  RenderOptions options;
  std::string error;
  EXPECT_EQ(ParseRenderOptions(GetParam().args, options, error), GetParam().ok);
  EXPECT_EQ(error, GetParam().error);
  if (GetParam().ok) {
    EXPECT_EQ(options.document, GetParam().document);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderOptionsCases,
    ::testing::Values(
        OptionCase{"Output", {"-o", "x.bmp"}, true, ""},
        OptionCase{"InlineOutputAndDocument", {"--output=x.png", "d.kvf"}, true, "", "d.kvf"},
        OptionCase{"Help", {"--help"}, true, ""}, OptionCase{"Version", {"--version"}, true, ""},
        OptionCase{"Nothing", {}, false, "no output picture given (-o FILE)"},
        OptionCase{"NoOutput", {"d.kvf"}, false, "no output picture given (-o FILE)"},
        OptionCase{"OutputWithoutValue", {"-o"}, false, "option -o needs a value"},
        OptionCase{"EmptyInlineOutput", {"--output=", "d.kvf"}, false,
                   "option --output needs a value"},
        OptionCase{"ZeroThreads", {"-o", "x.bmp", "-t", "0"}, false,
                   "invalid thread count \"0\" (a whole number from 1 to 1024)"},
        OptionCase{"ThreadsNotANumber", {"-o", "x.bmp", "-t", "2x"}, false,
                   "invalid thread count \"2x\" (a whole number from 1 to 1024)"},
        OptionCase{"UnknownOption", {"-o", "x.bmp", "--fast"}, false, "unknown option --fast"},
        OptionCase{"TwoDocuments", {"-o", "x.bmp", "a.kvf", "b.kvf"}, false,
                   "only one document can be rendered at a time"},
        OptionCase{"RepeatedOutput", {"-o", "a.bmp", "-o", "b.bmp"}, false,
                   "option -o given more than once"},
        OptionCase{"RepeatedOutputInline", {"-o", "a.bmp", "--output=b.bmp"}, false,
                   "option --output given more than once"},
        OptionCase{"RepeatedSaveDocument",
                   {"-o", "a.bmp", "--save-document", "a.kvf", "--save-document=b.kvf"}, false,
                   "option --save-document given more than once"},
        OptionCase{"QuietWithValue", {"--quiet=no", "-o", "x.bmp"}, false,
                   "option --quiet takes no value"},
        OptionCase{"HelpWithValue", {"--help=1"}, false, "option --help takes no value"},
        OptionCase{"VersionWithValue", {"--version=2"}, false, "option --version takes no value"},
        OptionCase{"DashDashEndsOptions", {"-o", "x.bmp", "--", "-d.kvf"}, true, "", "-d.kvf"},
        OptionCase{"DashDashMakesOptionsNames", {"--", "-o", "x.bmp"}, false,
                   "only one document can be rendered at a time"},
        OptionCase{"DashDashTwice", {"-o", "x.bmp", "--", "--"}, true, "", "--"}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

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
