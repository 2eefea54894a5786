#pragma once

// The wait cursor of the program: long operations are bracketed by BeginWait and EndWait.
class BusyIndicator {
 public:
  virtual ~BusyIndicator() = default;
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
 public:
  explicit WaitCursor(BusyIndicator& busy) : busy_(busy) { busy_.BeginWait(); }
  ~WaitCursor() { busy_.EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  BusyIndicator& busy_;
};
