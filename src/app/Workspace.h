#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TUnitFract;

// A window's place on the screen: position and size in pixels and its state.
struct WindowGeometry {
  enum class State : std::uint8_t { Normal, Minimized, Maximized };
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  State state = State::Normal;
  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// What the project logic needs of the main window and its stack of fractal windows. The desktop
// program implements it with its widgets; tests implement it in memory.
class Workspace {
 public:
  virtual ~Workspace() = default;

  // The documents of the open windows, from the bottom of the window stack to the top.
  virtual std::vector<TUnitFract*> Documents() = 0;
  virtual WindowGeometry GetWindowGeometry(const TUnitFract& document) = 0;
  virtual void SetWindowGeometry(TUnitFract& document, const WindowGeometry& geometry) = 0;
  virtual WindowGeometry GetFrameGeometry() = 0;
  virtual void SetFrameGeometry(const WindowGeometry& geometry) = 0;
  virtual int GetNoNameCounter() = 0;
  virtual void SetNoNameCounter(int counter) = 0;

  // Opens a new window on the document read from readFrom, whose file is `file` ("" for a
  // document that was never saved); relative picture names resolve against file when it is not
  // empty. Returns the document with TrackChanges false, or nullptr when it could not be read
  // (the message has been shown and no window remains).
  virtual TUnitFract* OpenDocument(const std::string& file, const std::string& readFrom) = 0;
  // Closes the document's window: through its close query when `ask`, else at once. False when
  // the user kept it open.
  virtual bool CloseDocument(TUnitFract& document, bool ask) = 0;
};
