#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "cli/RenderCommand.h"
#include "cli/RenderOptions.h"

namespace {

namespace fs = std::filesystem;

struct PosterOptionCase {
  std::vector<std::string> args;
  bool ok;
  std::string error;
};

TEST(PosterOptions, ParseOrNameTheFault) {
  const PosterOptionCase cases[] = {
      {{"-o", "p.png", "--size", "20000x14000", "--supersample", "3", "--memory", "256"}, true, ""},
      {{"--rows", "0:10", "--size=40x30", "-o", "band0"}, true, ""},
      {{"--assemble", "p.tif", "b0", "b1"}, true, ""},
      {{"-o", "p.png", "--size", "20000"}, false,
       "invalid size \"20000\" (WIDTHxHEIGHT in pixels, e.g. 20000x14000)"},
      {{"-o", "p.png", "--size", "0x5"}, false,
       "invalid size \"0x5\" (WIDTHxHEIGHT in pixels, e.g. 20000x14000)"},
      {{"-o", "p.png", "--size", "3000000000x5"}, false,
       "invalid size \"3000000000x5\" (WIDTHxHEIGHT in pixels, e.g. 20000x14000)"},
      {{"-o", "p.png", "--supersample", "3"}, false, "--supersample needs --size"},
      {{"-o", "p.png", "--size", "5x5", "--supersample", "0"}, false,
       "invalid supersampling \"0\" (a whole number from 1 to 64)"},
      {{"-o", "p.png", "--memory", "-1"}, false,
       "invalid memory budget \"-1\" (megabytes, a whole number from 1)"},
      {{"-o", "b", "--rows", "5:5"}, false,
       "invalid rows \"5:5\" (A:B, pixel rows A to B-1 with A < B)"},
      {{"-o", "b", "--rows", "7"}, false, "invalid rows \"7\" (A:B, pixel rows A to B-1 with A < B)"},
      {{"--assemble", "p.tif"}, false, "--assemble needs the band files to join"},
      {{"--assemble", "p.tif", "--rows", "0:4", "b0"}, false,
       "--assemble takes only band files (and --memory, --quiet)"},
      {{"-o", "x.bmp", "--assemble", "p.tif", "b0"}, false,
       "option --assemble names the output; -o cannot be given as well"},
  };
  for (const auto& c : cases) {
    RenderOptions options;
    std::string error;
    EXPECT_EQ(ParseRenderOptions(c.args, options, error), c.ok) << c.args[1];
    EXPECT_EQ(error, c.error);
  }
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({"--assemble", "p.tif", "b0", "b1", "--memory=9"}, options, error));
  EXPECT_EQ(options.output, "p.tif");
  EXPECT_EQ(options.bands, (std::vector<std::string>{"b0", "b1"}));
  EXPECT_EQ(options.memoryMB, 9u);
}

class PosterCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-poster-cli-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    messages = std::tmpfile();
  }
  void TearDown() override {
    std::fclose(messages);
    fs::remove_all(dir);
  }

  int Run(const std::vector<std::string>& args) {
    RenderOptions options;
    std::string error;
    EXPECT_TRUE(ParseRenderOptions(args, options, error)) << error;
    options.threads = 2;
    return RunRender(options, messages, false);
  }
  std::string Messages() const {
    std::fflush(messages);
    std::rewind(messages);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, messages)) > 0;) text.append(buffer, n);
    return text;
  }
  std::string File(const std::string& name) const { return (dir / name).string(); }

  fs::path dir;
  std::FILE* messages = nullptr;
};

TEST_F(PosterCommandTest, BandsStreamingAndAssemblyGiveTheSinglePicture) {
  ASSERT_EQ(Run({"--size", "90x40", "--supersample", "2", "-o", File("single.bmp")}), 0) << Messages();
  // One megabyte holds a few dozen rows of 180 samples per side: streamed in bands.
  ASSERT_EQ(Run({"--size", "3000x40", "--supersample", "2", "--memory", "1", "-o", File("wide.bmp")}), 0)
      << Messages();
  ASSERT_EQ(Run({"--size", "90x40", "--supersample", "2", "--rows", "0:13", "-o", File("b0")}), 0);
  ASSERT_EQ(Run({"--size", "90x40", "--supersample", "2", "--rows", "13:40", "-o", File("b1")}), 0);
  ASSERT_EQ(Run({"--assemble", File("joined.bmp"), File("b1"), File("b0")}), 0) << Messages();
  EXPECT_EQ(FileBytes(dir / "single.bmp"), FileBytes(dir / "joined.bmp"));
  EXPECT_EQ(fs::file_size(dir / "wide.bmp"), 54u + 9000u * 40u);
}

TEST_F(PosterCommandTest, LimitsAreRefusedBeforeAnyWork) {
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--size", "40000x40000", "-o", "big.bmp"},
       "Picture of 40000 x 40000 pixels is too large for a BMP file (32-bit file size)."},
      {{"--size", "1000000000x2", "--supersample", "3", "-o", "big.png"},
       "has more than 2147483647 samples per side."},
      {{"--size", "100000x10", "--supersample", "8", "--memory", "1", "-o", "big.png"},
       "The memory budget of 1 MB is too small: one row of pixels needs"},
      {{"--size", "40x40", "--rows", "30:50", "-o", "band"},
       "The rows 30:50 are not within the picture's 40 rows."},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args[args.size() - 1] = File(args.back());
    EXPECT_EQ(Run(args), 1);
    EXPECT_NE(Messages().find(c.message), std::string::npos) << Messages();
    EXPECT_TRUE(fs::is_empty(dir));
  }
}

// GNU parallel runs 4 bands of a small picture; the joined file equals a single render.
TEST_F(PosterCommandTest, DistributedWithGnuParallelEqualsSingleRender) {
  if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "GNU parallel is not installed (Debian package \"parallel\")";
  }
  const fs::path render = fs::canonical("/proc/self/exe").parent_path().parent_path() / "src" /
                          "cli" / "korvana-render";
  const fs::path script = fs::path(KORVANA_TEST_DATA).parent_path().parent_path() / "tools" /
                          "render-distributed";
  ASSERT_TRUE(fs::exists(render)) << render;
  ASSERT_EQ(Run({"--size", "60x37", "--supersample", "3", "-o", File("single.png"),
                 "--save-document", File("d.kvf")}),
            0);
  const std::string command = script.string() + " --render " + render.string() +
                              " --bands 4 --size 60x37 -o " + File("joined.png") +
                              " -- --supersample 3 " + File("d.kvf") + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(FileBytes(dir / "single.png"), FileBytes(dir / "joined.png"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 3);
}

}  // namespace
