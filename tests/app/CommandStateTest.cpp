#include "app/CommandState.h"

#include <gtest/gtest.h>

namespace {

const char* const kFractalCommands[] = {
    "FileSaveAs", "actFractProps", "actBitmapsProps", "actFileExportBitmap", "actGrid",
    "AddNextPoints", "RemovePoints", "DuplicateFract", "ZoomIn", "ZoomOut", "DrawPoints",
    "CreateJuliaFromMandelbrot", "actPipet", "GroupAsPolynoom", "actViewModeFract",
    "actViewModeBitmapTrans", "NavigateBack", "NavigateForward", "NavigateHome"};

TEST(CommandState, NoWindowDisablesEveryFractalCommand) {
  const CommandStates states = ComputeCommandStates({});
  EXPECT_FALSE(states.fractalMenusVisible);
  for (const char* action : kFractalCommands) {
    EXPECT_FALSE(states.Of(action).enabled) << action;
    EXPECT_FALSE(states.Of(action).checked) << action;
  }
  EXPECT_FALSE(states.Of("FileSave").enabled);
  EXPECT_FALSE(states.Of("FileRevert").enabled);
  EXPECT_TRUE(states.Of("FileNewFract").enabled);
  EXPECT_TRUE(states.Of("HelpAbout").enabled);
  EXPECT_FALSE(states.Of("ProjectSave").enabled);
}

TEST(CommandState, FractalWindowFollowsItsDocumentAndModes) {
  ActiveWindowState w;
  w.fractalWindow = true;
  w.canGoBack = w.canGoForward = w.canGoHome = true;
  for (const char* action : kFractalCommands) {
    EXPECT_TRUE(ComputeCommandStates(w).Of(action).enabled) << action;
  }
  struct Case {
    bool isNew, needsSave, save, revert;
  } cases[] = {{true, true, true, false}, {false, true, true, true}, {false, false, false, false}};
  for (const Case& c : cases) {
    w.documentIsNew = c.isNew;
    w.documentNeedsSave = c.needsSave;
    const CommandStates states = ComputeCommandStates(w);
    EXPECT_EQ(states.Of("FileSave").enabled, c.save) << c.isNew << c.needsSave;
    EXPECT_EQ(states.Of("FileRevert").enabled, c.revert) << c.isNew << c.needsSave;
  }
  const char* modes[] = {"ZoomIn", "ZoomOut", "DrawPoints", "CreateJuliaFromMandelbrot", "actPipet"};
  for (std::uint8_t mode = 0; mode <= 5; ++mode) {
    w.mouseMode = mode;
    const CommandStates states = ComputeCommandStates(w);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(states.Of(modes[i]).checked, mode == i + 1) << modes[i];
  }
  w.viewMode = 1;
  w.pointsGrouping = true;
  w.projectOpen = true;
  const CommandStates states = ComputeCommandStates(w);
  EXPECT_TRUE(states.fractalMenusVisible);
  EXPECT_FALSE(states.Of("actViewModeFract").checked);
  EXPECT_TRUE(states.Of("actViewModeBitmapTrans").checked);
  EXPECT_FALSE(states.Of("actViewModeBitmapTrans").visible);
  EXPECT_TRUE(states.Of("GroupAsPolynoom").checked);
  EXPECT_TRUE(states.Of("ProjectExport").enabled);
  EXPECT_FALSE(states.Of("NavigateBack").enabled);  // not in the bitmap transformation view
}

TEST(CommandState, ModeCommandsToggleAndShowTheirCursors) {
  EXPECT_EQ(ToggledMouseMode(ToggledMouseMode(0, 1), 1), 0);  // Z twice
  EXPECT_EQ(ToggledMouseMode(ToggledMouseMode(0, 1), 2), 2);  // Z, then Shift+Z
  const int cursors[] = {0, 4, 5, 1, 7, 6};
  for (std::uint8_t mode = 0; mode < 6; ++mode) EXPECT_EQ(CursorOfMouseMode(mode), cursors[mode]);
}

}  // namespace
