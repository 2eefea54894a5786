#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which commands of the main window are enabled, ticked and visible: a pure function of the
// active window and the open project. The main window only applies the result to its actions.

// What the command states depend on; a default value means "no fractal window is active".
struct ActiveWindowState {
  bool fractalWindow = false;  // the active child is a fractal window with a document
  bool documentIsNew = false;
  bool documentNeedsSave = false;
  std::uint8_t mouseMode = 0;  // 0 none, 1 zoom in, 2 zoom out, 3 points, 4 Julia, 5 pipette
  std::uint8_t viewMode = 0;   // 0 fractal, 1 bitmap transformations
  bool pointsGrouping = false;
  bool canGoBack = false;  // the window's navigation history
  bool canGoForward = false;
  bool canGoHome = false;
  bool projectOpen = false;
};

struct CommandState {
  std::string action;  // the action's name, e.g. "FileSave"
  bool enabled = true;
  bool checked = false;
  bool visible = true;
};

struct CommandStates {
  std::vector<CommandState> commands;
  bool fractalMenusVisible = false;  // the Fractal, Mode and Window menus

  // The state of one action; a fatal error when the action is not listed.
  const CommandState& Of(const std::string& action) const;
};

CommandStates ComputeCommandStates(const ActiveWindowState& window);

// The mouse mode a mode command sets: `mode`, or 0 when it was already `mode`.
std::uint8_t ToggledMouseMode(std::uint8_t current, std::uint8_t mode);

// The cursor number a mouse mode shows (0 default, 4 ZOOMIN, 5 ZOOMOUT, 1 DRAW, 7 MAND2JUL,
// 6 PIPET).
int CursorOfMouseMode(std::uint8_t mode);
