#include "common/Messages.h"

#include <gtest/gtest.h>

#include "common/Assert.h"
#include "ScriptedInteraction.h"

TEST(Messages, BoxesHaveTheirTitlesIconsAndTexts) {
  ScriptedInteraction ui;
  ShowFileError(ui, "");
  ShowCannotReadFile(ui, "/a/b.kvf", "cannot open file.");
  ShowInputError(ui, "In Left: Input has no value.");
  ShowWindowNameExists(ui, "/p/x.kvf", "NONAME1");
  ShowAssertion(ui, "unitfract", 12, "a == b");
  ASSERT_EQ(ui.shown.size(), 5u);
  EXPECT_EQ(ui.shown[0].title, "File Error");
  EXPECT_EQ(ui.shown[0].icon, Interaction::Icon::Error);
  EXPECT_EQ(ui.shown[0].text, "");
  EXPECT_EQ(ui.shown[1].text, "Cannot read the file: \"/a/b.kvf\", cannot open file.");
  EXPECT_EQ(ui.shown[2].title, "Input Error");
  EXPECT_EQ(ui.shown[2].icon, Interaction::Icon::Information);
  EXPECT_EQ(ui.shown[3].title, "Error");
  EXPECT_EQ(ui.shown[3].text,
            "When opening file \"/p/x.kvf\" from project, a window with name \"NONAME1\" "
            "already exists");
  EXPECT_EQ(ui.shown[4].title, "Assertion failed");
  EXPECT_EQ(ui.shown[4].text, "In unitfract line 12: Condition \"a == b\"failed!");
}

TEST(Messages, NonFatalCheckShowsItsConditionAndGoesOn) {
  ScriptedInteraction ui;
  korvana::SetCheckInteraction(&ui);
  int x = 1;
  bool ok = KORVANA_CHECK(x == 2, "Grafisch/DlgColorPalette1D");
  korvana::SetCheckInteraction(nullptr);
  EXPECT_FALSE(ok);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "Assertion failed");
  EXPECT_NE(ui.shown[0].text.find("In Grafisch/DlgColorPalette1D line "), std::string::npos);
  EXPECT_NE(ui.shown[0].text.find(": Condition \"x == 2\"failed!"), std::string::npos);
}

TEST(MessagesDeathTest, FatalAssertionNamesConditionFileAndLine) {
  EXPECT_DEATH(KORVANA_ASSERT(1 + 1 == 3), "1 \\+ 1 == 3.*MessagesTest.cpp line [0-9]+");
}
