#include "app/TUnitFract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DocumentTestSupport.h"

namespace {

struct NamedDocument {
  const char* name;
  const char* file;
  const char* caption;
  const char* question;
};

TEST(TUnitFract, CaptionAndSaveQuestionFollowNameAndFile) {
  const NamedDocument cases[] = {
      {"NONAME3", "", "NONAME3",
       "Do you want to save the Fractal with name \"NONAME3\" to a new file?"},
      {"NONAME1", "/home/u/a.kvf", "NONAME1 - /home/u/a.kvf",
       "Do you want to save the Fractal with name \"NONAME1\" to current file \"/home/u/a.kvf\"?"},
      {"", "/home/u/b c.kvf", "/home/u/b c.kvf",
       "Do you want to save the Fractal without name to current file \"/home/u/b c.kvf\"?"},
      {"", "", "", "Do you want to save the Fractal without name to a new file?"},
  };
  for (const auto& c : cases) {
    TUnitFract document(c.name, c.file);
    EXPECT_EQ(document.Caption(), c.caption);
    EXPECT_EQ(document.SaveQuestion(), c.question);
    EXPECT_EQ(document.Kind, 1);
  }
}

TEST(TUnitFract, NameAndFileChangesReachTheWindow) {
  TUnitFract document("NONAME1", "");
  std::vector<std::string> events;
  document.nameChanged = [&](const std::string& old) { events.push_back("name from " + old); };
  document.captionChanged = [&] { events.push_back("caption " + document.Caption()); };
  document.SetName("Spiral");
  document.SetFile("/tmp/spiral.kvf");
  EXPECT_EQ(events, (std::vector<std::string>{"name from NONAME1",
                                              "caption Spiral - /tmp/spiral.kvf"}));
  EXPECT_FALSE(document.IsNew());
}

TEST(TUnitFract, SavingStateFollowsNewChangedAndTracking) {
  TUnitFract fresh("NONAME1", "");
  EXPECT_TRUE(fresh.NeedsSave());  // new documents need saving although unchanged
  EXPECT_FALSE(fresh.Changed);
  EXPECT_EQ(fresh.StatusText(), "New");

  TUnitFract opened("", "/tmp/a.kvf");
  EXPECT_FALSE(opened.NeedsSave());
  EXPECT_EQ(opened.StatusText(), "");
  opened.SetChanged();
  EXPECT_TRUE(opened.NeedsSave());
  EXPECT_EQ(opened.StatusText(), "Changed");
  opened.TrackChanges = false;
  opened.ClearChanged();
  EXPECT_TRUE(opened.Changed);
  opened.TrackChanges = true;
  opened.ClearChanged();
  EXPECT_EQ(opened.StatusText(), "");
  opened.TrackChanges = false;
  opened.SetChanged();
  EXPECT_FALSE(opened.NeedsSave());
}

TEST(TUnitFract, ProjectElementsOnlyForSavedDocumentsAndTemporaryCopies) {
  TUnitFract document("NONAME2", "");
  EXPECT_EQ(document.GetFileElement(), nullptr);
  EXPECT_EQ(document.GetTempFileElement(), nullptr);
  document.File = "/x/y.kvf";
  document.TempFile = 12;
  ASSERT_NE(document.GetFileElement(), nullptr);
  EXPECT_EQ(document.GetFileElement()->GetElement(), "File");
  EXPECT_EQ(document.GetFileElement()->GetString(), "/x/y.kvf");
  ASSERT_NE(document.GetTempFileElement(), nullptr);
  EXPECT_EQ(document.GetTempFileElement()->GetString(), "12");
}

TEST(TUnitFract, SaveIfNeededWritesOnlyChangedOrNewDocuments) {
  TempFolder folder;
  ScriptedInteraction ui;
  TUnitFract opened("", folder.File("a.kvf"));
  EXPECT_TRUE(opened.SaveIfNeeded(opened.File, ui));
  EXPECT_FALSE(std::filesystem::exists(opened.File));
  opened.SetChanged();
  EXPECT_TRUE(opened.SaveIfNeeded(opened.File, ui));
  EXPECT_EQ(FileBytes(opened.File), DocumentText(opened.Content));

  TUnitFract fresh("NONAME1", "");
  EXPECT_TRUE(fresh.SaveIfNeeded(folder.File("b.kvf"), ui));
  EXPECT_TRUE(std::filesystem::exists(folder.File("b.kvf")));
  EXPECT_FALSE(fresh.SaveDocument(folder.File("no/c.kvf"), ui));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "FileError");
}

TEST(TUnitFract, LoadDocumentReadsItsFileOrKeepsItsContent) {
  TempFolder folder;
  ScriptedInteraction ui;
  TUnitFract source("NONAME1", "");
  source.Content = UnusualContent();
  ASSERT_TRUE(source.SaveDocument(folder.File("good.kvf"), ui));

  TUnitFract good("", folder.File("good.kvf"));
  std::string error;
  ASSERT_TRUE(good.LoadDocument(error)) << error;
  EXPECT_EQ(good.Content.Fractal, source.Content.Fractal);
  EXPECT_EQ(DocumentText(good.Content), DocumentText(source.Content));

  TUnitFract missing("", folder.File("missing.kvf"));
  missing.Content.Fractal.MaxDepth = unitIntegerPosMore(77);
  EXPECT_FALSE(missing.LoadDocument(error));
  EXPECT_EQ(error, "cannot open file.");
  EXPECT_EQ(missing.Content.Fractal.MaxDepth.GetValue(), 77);
}

}  // namespace
