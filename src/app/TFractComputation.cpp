#include "app/TFractComputation.h"

#include "app/TFractalContent.h"
#include "fractal/TKernelParams.h"
#include "view/TResultRenderer.h"

bool TFractComputation::Restart(TFractalContent& content, int threads, Listener listener,
                                std::string& error) {
  engine_.Stop();
  result_.reset();
  content_ = &content;
  content.Bitmaps.ResolveUses();
  mapper_ = std::make_unique<TBitmapMapper>(content.Bitmaps);
  const bool pictures = mapper_->IsActive();
  if (!pictures) mapper_.reset();
  result_ = TFractResult::Create(content.Fractal, pictures, error);
  if (!result_) return false;

  EngineCallbacks callbacks;
  callbacks.paint = [this, painted = std::move(listener.painted)](int computed) {
    PaintNewColumns();
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

void TFractComputation::NewBitmap() {
  if (result_ && content_) ::NewBitmap(*result_, content_->View);
}

void TFractComputation::PaintNewColumns() {
  if (result_ && content_) {
    ::PaintNewColumns(*result_, content_->View, content_->Fractal.MaxCycle.GetValue());
  }
}
