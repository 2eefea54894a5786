#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bitmaps/TBitmapMapper.h"
#include "fractal/TFractKernel.h"  // complete type for the engine's kernels
#include "fractal/TFractResult.h"
#include "fractal/TThreadVolumeWriter.h"

struct TFractalContent;

// One document's computation: the result array, the picture mapping snapshot and the engine
// that fills the array. A restart stops the running engine first and replaces the array whole.
// Everything here runs on the owner thread (see TThreadVolumeWriter).
//
// What of the content may change while a computation runs (on the owner thread, between
// hand-overs):
// - The colours of the view (palettes, colours, opacities, sensitivities, background): always.
//   Recolouring a running computation is a feature: set the painted count to 0 and call
//   PaintNewColumns; the columns computed later are painted with the new colours.
// - The view's ValuesPerPixel: only together with NewBitmap (and a repaint from 0). Until then
//   the bitmap no longer agrees with the result and view, and painting and bitmap export do
//   nothing rather than read past the result.
// - The fractal parameters (resolution included) and the bitmap properties (pictures and their
//   uses): not. The running computation keeps what it took at Restart (parameters, MaxCycle for
//   the colours, the picture snapshot), so edits show only after the next Restart.
class TFractComputation {
 public:
  struct Listener {
    // After newly computed columns have been painted into the bitmap. Runs inside the engine's
    // hand-over, so it must not call Restart, Stop or Wait.
    std::function<void(int computedColumns)> painted;
    // From a worker thread: call ServiceHandOvers soon (may be empty for owners that Wait).
    std::function<void()> wake;
    // Once the run is complete or stopped. It may Restart, except while a Restart or the
    // destructor stops this run (that Restart is refused: the array it would fill is replaced).
    std::function<void()> finished;
    // True: columns are not painted during the run (painted still reports them), so the
    // workers never wait for colouring; the owner paints once the run is over, e.g. with
    // PaintAllColumns on every core. For owners that show nothing while computing. Without
    // painted and wake the workers do not even wake the owner until the run ends.
    bool deferPainting = false;
    // False: the result keeps no cycle numbers when the view's colours do not use them (see
    // TFractViewProps::ColorsUseCycles), which saves a plane of the array's size. For owners
    // that only colour the result, with these colours.
    bool keepCycles = true;
  };

  TFractComputation() = default;
  ~TFractComputation() {
    replacing_ = true;
    Stop();
  }
  TFractComputation(const TFractComputation&) = delete;
  TFractComputation& operator=(const TFractComputation&) = delete;

  // Stops the running computation, resolves the picture uses, creates a new result array from
  // the parameters and starts computing it with `threads` workers (0: all hardware threads).
  // content must stay alive and unchanged until the computation is stopped or has finished.
  // Returns false with a message for the user when the array or the engine cannot be had; the
  // computation then holds no array.
  bool Restart(TFractalContent& content, int threads, Listener listener, std::string& error);

  // Replaces the array's bitmap by a new one of the current pixel size. Returns false with
  // "Not enough memory for a picture of <w> x <h> pixels." when it cannot be had; the array then
  // has no bitmap and painting does nothing (the computation itself goes on).
  bool NewBitmap(std::string& error);
  bool NewBitmap();
  // Paints what has been computed but not yet painted (after a change of colours, with the
  // painted count reset to 0 first).
  void PaintNewColumns();
  // The same on `threads` threads at once (0: one per hardware thread), for an owner whose run
  // is over.
  void PaintAllColumns(int threads);

  void ServiceHandOvers() { engine_.ServiceHandOvers(); }
  void Wait() { engine_.Wait(); }
  void Stop() { engine_.Stop(); }
  bool IsRunning() const { return engine_.IsRunning(); }
  std::uint64_t OrbitSteps() const { return engine_.OrbitSteps(); }
  // Empty, or why the last run ended early.
  const std::string& LastError() const { return engine_.LastError(); }

  TFractResult* Result() { return result_.get(); }
  const TFractResult* Result() const { return result_.get(); }

 private:
  TFractalContent* content_ = nullptr;
  std::int32_t maxCycle_ = 0;  // the MaxCycle the array was computed with
  bool replacing_ = false;     // the running computation is being stopped to be replaced
  std::unique_ptr<TFractResult> result_;
  std::unique_ptr<TBitmapMapper> mapper_;
  TThreadVolumeWriter engine_;
};
