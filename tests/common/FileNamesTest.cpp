#include <gtest/gtest.h>

#include <string>

#include "common/FileNames.h"

namespace {

TEST(FileNames, PathOfPathFileSplitsAtTheLastSlash) {
  std::string path = "old", file = "old", message;
  ASSERT_TRUE(PathOfPathFile("/a/b/x.kvf", path, file, message));
  EXPECT_EQ(path, "/a/b");
  EXPECT_EQ(file, "x.kvf");
  ASSERT_TRUE(PathOfPathFile("/a/b/", path, file, message));
  EXPECT_EQ(path, "/a/b");
  EXPECT_EQ(file, "");

  path = file = "kept";
  EXPECT_FALSE(PathOfPathFile("x.kvf", path, file, message));
  EXPECT_EQ(message, "Function PathOfPathFile: PathFile (\"x.kvf\") has no path\".");
  EXPECT_EQ(path, "kept");
  EXPECT_EQ(file, "kept");
}

TEST(FileNames, SplitFileExtensionUsesTheLastDotOfTheFileName) {
  struct Case {
    const char* fileName;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"/a/x.kvf", "/a/x", "kvf"},
      {"/a/x.tar.orp", "/a/x.tar", "orp"},
      {"/a/x", "/a/x", ""},
      {"x.", "x", ""},
      {"/a.b/c", "/a.b/c", ""},
      {"/a.b/c.d", "/a.b/c", "d"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string name = "?", extension = "?";
    SplitFileExtension(c.fileName, name, extension);
    EXPECT_EQ(name, c.name) << c.fileName;
    EXPECT_EQ(extension, c.extension) << c.fileName;
  }
}

TEST(FileNames, MakeRelativeFileNameOnlyDescendsFromTheDocumentFolder) {
  const std::string document = "/a/b/x.kvf";
  EXPECT_EQ(MakeRelativeFileName(document, "/a/b/c/p.bmp"), "c/p.bmp");
  EXPECT_EQ(MakeRelativeFileName(document, "/a/b/p.bmp"), "p.bmp");
  EXPECT_EQ(MakeRelativeFileName(document, "/a/b/c/d/p.bmp"), "c/d/p.bmp");
  for (const char* elsewhere : {"/a/p.bmp", "/a/c/p.bmp", "a/b/p.bmp", "/A/b/p.bmp", "/p.bmp"}) {
    EXPECT_EQ(MakeRelativeFileName(document, elsewhere), "") << elsewhere;
  }
  EXPECT_EQ(MakeRelativeFileName("a/b/x.kvf", "/a/b/p.bmp"), "");
  EXPECT_EQ(MakeRelativeFileName("/x.kvf", "/pics/p.bmp"), "pics/p.bmp");
}

TEST(FileNames, ResolveFileNamePutsRelativeNamesInTheDocumentFolder) {
  EXPECT_EQ(ResolveFileName("/a/b/x.kvf", "c/p.bmp"), "/a/b/c/p.bmp");
  EXPECT_EQ(ResolveFileName("/x.kvf", "p.bmp"), "/p.bmp");
  EXPECT_EQ(ResolveFileName("/a/b/x.kvf", "/q/p.bmp"), "/q/p.bmp");
  EXPECT_EQ(ResolveFileName("x.kvf", "p.bmp"), "p.bmp");
  EXPECT_EQ(ResolveFileName("/a/b/x.kvf", NormalizeSeparators("c\\d\\p.bmp")), "/a/b/c/d/p.bmp");

  // A relative name made for a document resolves back to the file.
  const std::string file = "/home/u/fractals/pics/p.bmp";
  const std::string document = "/home/u/fractals/x.kvf";
  EXPECT_EQ(ResolveFileName(document, MakeRelativeFileName(document, file)), file);

  EXPECT_TRUE(IsAbsoluteFileName("/a"));
  EXPECT_FALSE(IsAbsoluteFileName("a/b"));
  EXPECT_FALSE(IsAbsoluteFileName(""));
  EXPECT_EQ(FolderOfFile("/a/b/x.kvf"), "/a/b");
  EXPECT_EQ(FolderOfFile("x.kvf"), "");
  EXPECT_EQ(JoinPath("/a", "b.kvf"), "/a/b.kvf");
}

}  // namespace
