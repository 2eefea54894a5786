#include "common/SafeFile.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

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

namespace {

std::string Contents(const fs::path& file) {
  std::string bytes, error;
  return ReadWholeFile(file.string(), bytes, error) ? bytes : "<" + error + ">";
}

std::size_t EntriesIn(const fs::path& dir) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

}  // namespace

// Targets that an atomic save must not replace by a new regular file, or must replace through
// the link that names them.
TEST_F(SafeFileTest, SpecialTargetsAreWrittenInPlaceOrRefused) {
  struct Case {
    const char* what;
    std::function<fs::path(const fs::path&)> make;  // returns the name to save to
    bool ok;
    FileFailure failure;
    std::function<void(const fs::path&)> check;     // after the save
  };
  const Case cases[] = {
      {"read-only file",
       [](const fs::path& d) {
         std::string e;
         WriteFileAtomically((d / "ro.kvf").string(), "old", e);
         fs::permissions(d / "ro.kvf", fs::perms::owner_read | fs::perms::group_read |
                                           fs::perms::others_read);
         return d / "ro.kvf";
       },
       false, FileFailure::ReadOnly,
       [](const fs::path& d) { EXPECT_EQ(Contents(d / "ro.kvf"), "old"); }},
      {"link to a file",
       [](const fs::path& d) {
         std::string e;
         fs::create_directories(d / "real");
         WriteFileAtomically((d / "real" / "a.kvf").string(), "old", e);
         fs::create_symlink("real/a.kvf", d / "link.kvf");
         fs::create_symlink("link.kvf", d / "link2.kvf");
         return d / "link2.kvf";
       },
       true, FileFailure::None,
       [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "link.kvf"));
         EXPECT_TRUE(fs::is_symlink(d / "link2.kvf"));
         EXPECT_EQ(Contents(d / "real" / "a.kvf"), "new");
         EXPECT_EQ(EntriesIn(d / "real"), 1u);
       }},
      {"dangling link",
       [](const fs::path& d) {
         fs::create_symlink("made.kvf", d / "link.kvf");
         return d / "link.kvf";
       },
       true, FileFailure::None,
       [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "link.kvf"));
         EXPECT_EQ(Contents(d / "made.kvf"), "new");
       }},
      {"full device through a link",
       [](const fs::path& d) {
         fs::create_symlink("/dev/full", d / "full.bmp");
         return d / "full.bmp";
       },
       false, FileFailure::Write,
       [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "full.bmp"));
         EXPECT_TRUE(fs::is_character_file("/dev/full"));
         EXPECT_EQ(EntriesIn(d), 1u);
       }},
      {"FIFO without reader",
       [](const fs::path& d) {
         ::mkfifo((d / "pipe.kvf").c_str(), 0644);
         return d / "pipe.kvf";
       },
       false, FileFailure::Open,
       [](const fs::path& d) {
         EXPECT_TRUE(fs::is_fifo(d / "pipe.kvf"));
         EXPECT_EQ(EntriesIn(d), 1u);
       }},
      {"folder",
       [](const fs::path& d) {
         fs::create_directories(d / "sub.kvf");
         return d / "sub.kvf";
       },
       false, FileFailure::Open,
       [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d / "sub.kvf")); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = c.make(dir);
    std::string error;
    FileFailure failure = FileFailure::Open;
    EXPECT_EQ(WriteFileAtomically(target.string(), "new", error, &failure), c.ok) << error;
    EXPECT_EQ(failure, c.failure);
    EXPECT_EQ(error.empty(), c.ok) << error;
    c.check(dir);
  }
}

TEST_F(SafeFileTest, NamesUpToNameMaxAreSavedWithoutLeftovers) {
  for (std::size_t length : {std::size_t{240}, std::size_t{246}, std::size_t{250},
                             std::size_t{NAME_MAX}}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(length - 4, 'n') + ".kvf";
    const std::string pattern = TemporaryNamePattern((dir / name).string());
    EXPECT_LE(fs::path(pattern).filename().string().size(), std::size_t{NAME_MAX});
    EXPECT_EQ(fs::path(pattern).parent_path(), dir);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically((dir / name).string(), "bytes", error)) << error;
    EXPECT_EQ(Contents(dir / name), "bytes");
    EXPECT_EQ(EntriesIn(dir), 1u);
    fs::remove(dir / name);
  }
}

TEST(SafeFilePermissions, WriteBitsDecideForRootAsForTheOwner) {
  const fs::path file = fs::temp_directory_path() / ("korvana-perm-" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file.string(), "x", error)) << error;
  const struct {
    fs::perms perms;
    bool writable;
  } cases[] = {{fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, false},
               {fs::perms::owner_read | fs::perms::owner_write, true},
               {fs::perms::none, false}};
  for (const auto& c : cases) {
    fs::permissions(file, c.perms);
    EXPECT_EQ(PermissionBitsAllowWriting(file.string()), c.writable) << static_cast<int>(c.perms);
  }
  EXPECT_TRUE(PermissionBitsAllowWriting(file.string() + ".missing"));
  fs::remove(file);
}

// Reading must refuse what is not a regular file before reading a byte: a FIFO without writer
// would block for ever, a device such as /dev/zero would never end.
TEST_F(SafeFileTest, ReadRefusesFifosDevicesAndFoldersWithoutBlocking) {
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  for (const fs::path& name : {dir / "pipe", fs::path("/dev/zero"), dir}) {
    SCOPED_TRACE(name.string());
    std::string bytes = "kept", error;
    FileFailure failure = FileFailure::None;
    EXPECT_FALSE(ReadWholeFile(name.string(), bytes, error, std::size_t{1} << 30, &failure));
    EXPECT_EQ(failure, FileFailure::NotRegular);
    EXPECT_EQ(error, "not a regular file");
    EXPECT_EQ(bytes, "kept");
    EXPECT_FALSE(CheckRegularFile(name.string(), error, &failure));
    EXPECT_EQ(failure, FileFailure::NotRegular);
  }
  std::string error;
  ASSERT_TRUE(WriteFileAtomically((dir / "plain").string(), "x", error));
  EXPECT_TRUE(CheckRegularFile((dir / "plain").string(), error));
  FileFailure failure = FileFailure::None;
  EXPECT_FALSE(CheckRegularFile((dir / "none").string(), error, &failure));
  EXPECT_EQ(failure, FileFailure::Open);
}

// A process ended by SIGINT or SIGTERM while a temporary file is registered leaves no such file
// behind and still dies by that signal.
TEST_F(SafeFileTest, InterruptRemovesRegisteredTemporaryFiles) {
  for (int signalNumber : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signalNumber);
    const fs::path temp = dir / ("out.bmp.tmp" + std::to_string(signalNumber));
    const fs::path kept = dir / "kept.bmp";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      InstallTemporaryFileCleanup();
      std::string error;
      WriteFileAtomically(temp.string(), "partial", error);  // written and renamed: a real file
      fs::rename(temp, kept);
      WriteFileAtomically(temp.string(), "partial", error);
      RegisterTemporaryFile(temp.string());
      ::raise(signalNumber);
      ::_exit(0);  // not reached when the handler re-raises
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(WTERMSIG(status), signalNumber);
    }
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_TRUE(fs::exists(kept));
  }
}
