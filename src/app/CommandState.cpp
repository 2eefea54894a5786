#include "app/CommandState.h"

#include "common/Assert.h"

const CommandState& CommandStates::Of(const std::string& action) const {
  for (const CommandState& command : commands) {
    if (command.action == action) return command;
  }
  korvana::AssertFailed("command listed", __FILE__, __LINE__);
}

CommandStates ComputeCommandStates(const ActiveWindowState& w) {
  const bool fractal = w.fractalWindow;
  CommandStates states;
  states.fractalMenusVisible = fractal;
  auto add = [&states](std::string action, bool enabled, bool checked = false,
                       bool visible = true) {
    states.commands.push_back({std::move(action), enabled, checked, visible});
  };
  add("FileNewFract", true);
  add("FileSave", fractal && w.documentNeedsSave);
  add("FileSaveAs", fractal);  // a fractal document can always be saved
  add("FileRevert", fractal && !w.documentIsNew && w.documentNeedsSave);
  for (const char* action : {"actFractProps", "actBitmapsProps", "actFileExportBitmap",
                             "actFileExportAtSize", "actGrid",
                             "AddNextPoints", "RemovePoints"}) {
    add(action, fractal);
  }
  add("DuplicateFract", fractal, false, true);
  add("actViewModeFract", fractal, fractal && w.viewMode == 0, false);
  add("actViewModeBitmapTrans", fractal, fractal && w.viewMode == 1, false);
  const char* modes[] = {"ZoomIn", "ZoomOut", "DrawPoints", "CreateJuliaFromMandelbrot", "actPipet"};
  for (int i = 0; i < 5; ++i) add(modes[i], fractal, fractal && w.mouseMode == i + 1);
  add("GroupAsPolynoom", fractal, fractal && w.pointsGrouping);
  // Navigation changes the plane rectangle, which the bitmap transformation view does not show.
  const bool navigate = fractal && w.viewMode == 0;
  add("NavigateBack", navigate && w.canGoBack);
  add("NavigateForward", navigate && w.canGoForward);
  add("NavigateHome", navigate && w.canGoHome);
  for (const char* action : {"ProjectClose", "ProjectSave", "ProjectExport"}) {
    add(action, w.projectOpen);
  }
  for (const char* action : {"ProjectOpen", "ProjectNew", "WindowCascade", "WindowTileHorizontal",
                             "WindowTileVertical", "WindowMinimizeAll", "WindowArrangeAll",
                             "HelpAbout", "HelpContents"}) {
    add(action, true);
  }
  return states;
}

std::uint8_t ToggledMouseMode(std::uint8_t current, std::uint8_t mode) {
  return current == mode ? 0 : mode;
}

int CursorOfMouseMode(std::uint8_t mode) {
  static constexpr int kCursors[] = {0, 4, 5, 1, 7, 6};
  return mode < 6 ? kCursors[mode] : 0;
}
