#include "fractal/TFractResult.h"

#include <unistd.h>

#include <algorithm>
#include <new>

#include "fractal/TFractProps.h"

namespace {

// More samples than this are refused before any allocation: the planes are indexed with
// 32-bit counts elsewhere (painting, export) and no screen needs more.
constexpr std::uint64_t kMaxSamples = 0x7FFFFFFFu;

// The machine's physical memory in bytes, 0 when unknown.
std::uint64_t PhysicalMemory() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

}  // namespace

std::string TFractResult::NoMemoryText(std::int32_t width, std::int32_t height) {
  return "Not enough memory for a result of " + std::to_string(width) + " x " +
         std::to_string(height) + " samples.";
}

std::unique_ptr<TFractResult> TFractResult::Create(const TFractProps& props, bool picturesActive,
                                                   std::string& error) {
  return Create(props.XResolution.GetValue(), props.YResolution.GetValue(),
                props.MaxCycle.GetValue(), picturesActive, error);
}

std::unique_ptr<TFractResult> TFractResult::Create(std::int32_t width, std::int32_t height,
                                                   std::int32_t maxCycle, bool picturesActive,
                                                   std::string& error) {
  error.clear();
  if (width <= 0 || height <= 0) {
    error = "A result of " + std::to_string(width) + " x " + std::to_string(height) +
            " samples is not possible.";
    return nullptr;
  }
  const std::uint64_t samples = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  const bool thirdPlane = picturesActive || maxCycle > 1;
  const std::uint64_t bytes = samples * (thirdPlane ? 8u : 4u);
  const std::uint64_t memory = PhysicalMemory();
  if (samples > kMaxSamples || (memory != 0 && bytes > memory)) {
    error = NoMemoryText(width, height);
    return nullptr;
  }
  try {
    std::unique_ptr<TFractResult> result(new TFractResult(width, height));
    result->depths_.resize(samples);
    if (picturesActive) {
      result->colors_.resize(samples);
    } else if (maxCycle > 1) {
      result->cycles_.resize(samples);
    }
    return result;
  } catch (const std::bad_alloc&) {
    error = NoMemoryText(width, height);
    return nullptr;
  }
}

std::size_t TFractResult::Index(int x, int y) const {
  x = std::clamp(x, 0, width_ - 1);
  y = std::clamp(y, 0, height_ - 1);
  return static_cast<std::size_t>(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(height_);
}

std::int32_t TFractResult::GetCycle(int x, int y) const {
  return cycles_.empty() ? 1 : cycles_[Index(x, y)];
}

void TFractResult::SetCycle(int x, int y, std::int32_t cycle) {
  if (!cycles_.empty()) cycles_[Index(x, y)] = cycle;
}

std::uint32_t TFractResult::GetColor(int x, int y) const {
  return colors_.empty() ? 0u : colors_[Index(x, y)];
}

void TFractResult::SetColor(int x, int y, std::uint32_t color) {
  if (!colors_.empty()) colors_[Index(x, y)] = color;
}
