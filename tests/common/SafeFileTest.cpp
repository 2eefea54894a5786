#include "common/SafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-safefile-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  fs::path dir;
};

TEST_F(SafeFileTest, WritesAndReadsBackAndReplaces) {
  std::string error, bytes;
  const std::string file = (dir / "a.kvf").string();
  ASSERT_TRUE(WriteFileAtomically(file, "first", error)) << error;
  ASSERT_TRUE(WriteFileAtomically(file, std::string("sec\0nd", 6), error)) << error;
  ASSERT_TRUE(ReadWholeFile(file, bytes, error)) << error;
  EXPECT_EQ(bytes, std::string("sec\0nd", 6));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(SafeFileTest, FailedSaveKeepsTheOldFile) {
  std::string error, bytes;
  const std::string file = (dir / "a.kvf").string();
  ASSERT_TRUE(WriteFileAtomically(file, "old", error));
  if (::geteuid() == 0) {
    // Root ignores folder permissions; a missing folder still fails the save.
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "a.kvf").string(), "new", error));
  } else {
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomically(file, "new", error));
    fs::permissions(dir, fs::perms::owner_all);
  }
  EXPECT_FALSE(error.empty());
  ASSERT_TRUE(ReadWholeFile(file, bytes, error));
  EXPECT_EQ(bytes, "old");
}

TEST_F(SafeFileTest, ReadRefusesMissingAndOversizedFiles) {
  std::string error, bytes;
  EXPECT_FALSE(ReadWholeFile((dir / "none").string(), bytes, error));
  ASSERT_TRUE(WriteFileAtomically((dir / "big").string(), std::string(100, 'x'), error));
  EXPECT_FALSE(ReadWholeFile((dir / "big").string(), bytes, error, 99));
  EXPECT_EQ(error, "the file is too large");
}
