#include "app/TFractComputation.h"

#include "app/TFractalContent.h"
#include "fractal/TKernelParams.h"
#include "view/TResultRenderer.h"

bool TFractComputation::Restart(TFractalContent& content, int threads, Listener listener,
                                std::string& error) {
  if (replacing_) {
    error = "The computation could not be started.";
    return false;
  }
  // A Restart from the finished listener of the stopped run would compute into the array that
  // is dropped next, so it is refused until the stop is over.
  replacing_ = true;
  try {
    engine_.Stop();
  } catch (...) {
    replacing_ = false;
    throw;
  }
  replacing_ = false;
  result_.reset();
  content_ = &content;
  maxCycle_ = content.Fractal.MaxCycle.GetValue();
  content.Bitmaps.ResolveUses();
  mapper_ = std::make_unique<TBitmapMapper>(content.Bitmaps);
  const bool pictures = mapper_->IsActive();
  if (!pictures) mapper_.reset();
  const bool cycles = listener.keepCycles || content.View.ColorsUseCycles();
  // A MaxCycle of 1 creates no cycle plane; cycle detection follows the parameters either way.
  result_ = TFractResult::Create(content.Fractal.XResolution.GetValue(),
                                 content.Fractal.YResolution.GetValue(),
                                 cycles ? content.Fractal.MaxCycle.GetValue() : 1, pictures, error);
  if (!result_) return false;

  EngineCallbacks callbacks;
  callbacks.unattended = listener.deferPainting && !listener.painted && !listener.wake;
  callbacks.paint = [this, painted = std::move(listener.painted),
                     defer = listener.deferPainting](int computed) {
    if (!defer) PaintNewColumns();
    if (painted) painted(computed);
  };
  callbacks.wake = std::move(listener.wake);
  callbacks.finished = std::move(listener.finished);
  if (!engine_.Start(TKernelParams::FromProps(content.Fractal), *result_, mapper_.get(), threads,
                     std::move(callbacks), error)) {
    result_.reset();
    return false;
  }
  return true;
}

bool TFractComputation::NewBitmap(std::string& error) {
  error.clear();
  if (!result_ || !content_) return true;  // nothing computed: no bitmap needed
  return ::NewBitmap(*result_, content_->View, error);
}

bool TFractComputation::NewBitmap() {
  std::string error;
  return NewBitmap(error);
}

void TFractComputation::PaintNewColumns() {
  if (result_ && content_) ::PaintNewColumns(*result_, content_->View, maxCycle_);
}

void TFractComputation::PaintAllColumns(int threads) {
  if (result_ && content_) ::PaintNewColumns(*result_, content_->View, maxCycle_, {}, threads);
}
