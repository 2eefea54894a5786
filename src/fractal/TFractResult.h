#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Bitmap24.h"
#include "common/ZeroedAllocator.h"

class TFractProps;

// The result array of one computation: a depth per sample and, fixed at creation, either a
// picture colour per sample (pictures active) or a cycle number per sample (MaxCycle > 1), or
// neither. Storage is column-major: sample (x, y) is element y + x * height of each plane.
//
// Depth meaning: > 0 the orbit escaped after depth * MaxDepth iterations, < 0 it was caught in
// a cycle, 0 it reached the maximal depth.
//
// Threads: the computing workers write samples of the columns they own; the owner thread
// publishes finished columns through SetComputed (release) and readers on other threads use
// GetComputed (acquire) and read only columns below it. The painted count and the bitmap
// belong to the owner thread.
class TFractResult {
 public:
  // Creates the array for the parameters' resolution. Returns nullptr and sets error to a
  // message for the user when the size is absurd or the memory cannot be had.
  static std::unique_ptr<TFractResult> Create(const TFractProps& props, bool picturesActive,
                                              std::string& error);
  static std::unique_ptr<TFractResult> Create(std::int32_t width, std::int32_t height,
                                              std::int32_t maxCycle, bool picturesActive,
                                              std::string& error);

  // The text used when an array cannot be created.
  static std::string NoMemoryText(std::int32_t width, std::int32_t height);

  TFractResult(const TFractResult&) = delete;
  TFractResult& operator=(const TFractResult&) = delete;

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool HasCycles() const { return !cycles_.empty(); }
  bool HasColors() const { return !colors_.empty(); }

  // Accessors clamp their coordinates into the array: negative to 0, beyond the end to the
  // last column or row.
  float GetDepth(int x, int y) const { return depths_[Index(x, y)]; }
  void SetDepth(int x, int y, float depth) { depths_[Index(x, y)] = depth; }
  // 1 everywhere when there is no cycle plane.
  std::int32_t GetCycle(int x, int y) const;
  // Does nothing when there is no cycle plane.
  void SetCycle(int x, int y, std::int32_t cycle);
  // 0 when there is no colour plane.
  std::uint32_t GetColor(int x, int y) const;
  // Does nothing when there is no colour plane.
  void SetColor(int x, int y, std::uint32_t color);

  // Whole planes for the kernel, column-major; nullptr for a plane that does not exist.
  float* DepthPlane() { return depths_.data(); }
  std::int32_t* CyclePlane() { return cycles_.empty() ? nullptr : cycles_.data(); }
  std::uint32_t* ColorPlane() { return colors_.empty() ? nullptr : colors_.data(); }
  const float* DepthPlane() const { return depths_.data(); }
  const std::int32_t* CyclePlane() const { return cycles_.empty() ? nullptr : cycles_.data(); }
  const std::uint32_t* ColorPlane() const { return colors_.empty() ? nullptr : colors_.data(); }

  // Columns 0 .. computed - 1 are final.
  int GetComputed() const { return computed_.load(std::memory_order_acquire); }
  void SetComputed(int columns) { computed_.store(columns, std::memory_order_release); }

  // Columns already turned into pixels by the view; owner thread only.
  int GetPainted() const { return painted_; }
  void SetPainted(int columns) { painted_ = columns; }

  // The off-screen bitmap, created and replaced by the view; owned by the array.
  Bitmap24* GetBitmap() { return bitmap_.get(); }
  const Bitmap24* GetBitmap() const { return bitmap_.get(); }
  void SetBitmap(std::unique_ptr<Bitmap24> bitmap) { bitmap_ = std::move(bitmap); }

 private:
  TFractResult(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

  std::size_t Index(int x, int y) const;

  std::int32_t width_;
  std::int32_t height_;
  std::atomic<int> computed_{0};
  int painted_ = 0;
  // Zeroed by the system, not by a fill: the kernel writes every sample anyway.
  std::vector<float, ZeroedAllocator<float>> depths_;
  std::vector<std::int32_t, ZeroedAllocator<std::int32_t>> cycles_;
  std::vector<std::uint32_t, ZeroedAllocator<std::uint32_t>> colors_;
  std::unique_ptr<Bitmap24> bitmap_;
};
