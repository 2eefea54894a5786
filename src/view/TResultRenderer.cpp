#include "view/TResultRenderer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>

#include "common/Bitmap24.h"
#include "common/ParallelRanges.h"
#include "files/TifImage.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"

namespace {

// A channel as a byte: clamped to 0..255 (super colours and sums may leave the range, and an
// unclamped channel would spill into its neighbour), truncated toward zero; NaN gives 0.
[[gnu::always_inline]] inline std::uint8_t ToByte(double channel) {
  if (!(channel > 0)) return 0;
  if (channel >= 255) return 255;
  return static_cast<std::uint8_t>(channel);
}

double Clamp255(double channel) { return std::clamp(channel, 0.0, 255.0); }

// The picture colour word laid over a colour by its opacity A = (picture >> 24) / 255 (a 32-bit
// float), clamped per channel. Returns A.
[[gnu::always_inline]] inline double BlendPicture(std::uint32_t picture, double& red, double& green, double& blue) {
  const double A = static_cast<float>(picture >> 24) / 255.0f;
  red = Clamp255((picture & 0xFF) * A + (1 - A) * red);
  green = Clamp255(((picture >> 8) & 0xFF) * A + (1 - A) * green);
  blue = Clamp255(((picture >> 16) & 0xFF) * A + (1 - A) * blue);
  return A;
}

[[gnu::always_inline]] inline void WritePixel(Bitmap24& bitmap, int px, int py, double red, double green, double blue) {
  std::uint8_t* pixel = bitmap.Pixel(px, py);
  pixel[0] = ToByte(red);
  pixel[1] = ToByte(green);
  pixel[2] = ToByte(blue);
}

std::atomic<std::uint64_t> pictureMemoryLimit{0};

// The smaller of the physical memory and the address-space limit, 0 when neither is known.
std::uint64_t DefaultPictureMemoryLimit() {
  std::uint64_t limit = 0;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    limit = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  }
  rlimit space{};
  if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
    const auto bytes = static_cast<std::uint64_t>(space.rlim_cur);
    if (limit == 0 || bytes < limit) limit = bytes;
  }
  return limit;
}

// Whether a picture of width x height pixels of bytesPerPixel bytes may be allocated; sets
// error when not.
bool PictureFits(int width, int height, unsigned bytesPerPixel, std::string& error) {
  const std::uint64_t limit = PictureMemoryLimit();
  const std::uint64_t bytes = static_cast<std::uint64_t>(std::max(width, 0)) *
                              static_cast<std::uint64_t>(std::max(height, 0)) * bytesPerPixel;
  if (limit == 0 || bytes <= limit) return true;
  error = PictureNoMemoryText(width, height);
  return false;
}

// Four doubles, one per channel (red, green, blue, opacity): each operation is the channels'
// own operations, four at a time.
using ChannelVector [[gnu::vector_size(32)]] = double;

// sums[py] += channels / g / g for the g samples py * g .. py * g + g - 1 of each of the pixels,
// in that order.
[[gnu::always_inline]] inline void AddSampleSharesOf(const TSampleColor* samples, int pixels,
                                                     int g, void* sums) {
  static_assert(sizeof(TSampleColor) == sizeof(ChannelVector));
  const ChannelVector divisor = {double(g), double(g), double(g), double(g)};
  auto* out = static_cast<char*>(sums);
  for (int py = 0; py < pixels; ++py, out += sizeof(ChannelVector)) {
    ChannelVector sum;
    std::memcpy(&sum, out, sizeof sum);
    for (int sy = g * py; sy < g * py + g; ++sy) {
      ChannelVector c;
      std::memcpy(&c, &samples[sy], sizeof c);
      sum += c / divisor / divisor;
    }
    std::memcpy(out, &sum, sizeof sum);
  }
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void AddSampleSharesAvx2(const TSampleColor* samples, int pixels, int g,
                                                 void* sums) {
  AddSampleSharesOf(samples, pixels, g, sums);
}
#endif

}  // namespace

void TResultRenderer::AddSampleShares(const TSampleColor* samples, int pixels, int g,
                                      Channels* sums) {
  static_assert(sizeof(Channels) == sizeof(ChannelVector));
#if defined(__x86_64__)
  static const bool avx2 = CpuSupportsPath(KernelPath::AVX2);
  if (avx2) {
    AddSampleSharesAvx2(samples, pixels, g, sums);
    return;
  }
#endif
  AddSampleSharesOf(samples, pixels, g, sums);
}

std::string PictureNoMemoryText(int width, int height) {
  return "Not enough memory for a picture of " + std::to_string(width) + " x " +
         std::to_string(height) + " pixels.";
}

std::uint64_t PictureMemoryLimit() {
  const std::uint64_t set = pictureMemoryLimit.load(std::memory_order_relaxed);
  return set != 0 ? set : DefaultPictureMemoryLimit();
}

void SetPictureMemoryLimit(std::uint64_t bytes) {
  pictureMemoryLimit.store(bytes, std::memory_order_relaxed);
}

TResultRenderer::TResultRenderer(const TFractViewProps& view, std::int32_t maxCycle)
    : view_(view),
      colorer_(view, maxCycle),
      valuesPerPixel_(std::max(1, view.ValuesPerPixel.GetValue())) {
  std::uint32_t bg = view.BackgroundColor.GetValue();
  background_[0] = bg & 0xFF;
  background_[1] = (bg >> 8) & 0xFF;
  background_[2] = (bg >> 16) & 0xFF;
  const TSampleColor sample = colorer_(0.0f, 1, false);
  const Channels display = Display(sample, 0, false);
  const Channels exported = Export(sample, 0, false);
  maxDepthPixel_.display[0] = ToByte(display.red);
  maxDepthPixel_.display[1] = ToByte(display.green);
  maxDepthPixel_.display[2] = ToByte(display.blue);
  maxDepthPixel_.exportColor = ExportColor(exported);
  maxDepthPixel_.exportAlpha = ToByte(exported.opacity * 255);
}

void TResultRenderer::ColorColumn(const TFractResult& result, int x, int columns, bool interpolated,
                                  std::vector<TSampleColor>& out) const {
  const int count = static_cast<int>(out.size());
  if (x >= columns) {
    const TSampleColor unreached = colorer_(0.0f, 1, interpolated);
    std::fill(out.begin(), out.end(), unreached);
    return;
  }
  const std::size_t offset = static_cast<std::size_t>(x) * result.GetHeight();
  const std::int32_t* cycles = result.CyclePlane();
  colorer_.ColorRun(result.DepthPlane() + offset, cycles ? cycles + offset : nullptr, count,
                    interpolated, out.data());
}

[[gnu::always_inline]] inline TResultRenderer::Channels TResultRenderer::Display(const TSampleColor& c,
                                                          std::uint32_t picture,
                                                          bool hasPicture) const {
  const double a = c.opacity;
  Channels f{(1 - a) * background_[0] + c.red * a, (1 - a) * background_[1] + c.green * a,
             (1 - a) * background_[2] + c.blue * a, a};
  if (hasPicture) BlendPicture(picture, f.red, f.green, f.blue);
  return f;
}

[[gnu::always_inline]] inline TResultRenderer::Channels TResultRenderer::Export(const TSampleColor& c,
                                                         std::uint32_t picture,
                                                         bool hasPicture) const {
  Channels e{c.red, c.green, c.blue, c.opacity};
  if (hasPicture) {
    const double A = BlendPicture(picture, e.red, e.green, e.blue);
    e.opacity = 1 - (1 - A) * (1 - c.opacity);
  }
  return e;
}

std::uint32_t TResultRenderer::ExportColor(const Channels& c) {
  return ToByte(c.red) | (ToByte(c.green) << 8) | (std::uint32_t{ToByte(c.blue)} << 16);
}

void TResultRenderer::PixelColumn(const TFractResult& result, int px, int height, int columns,
                                  bool forExport, std::vector<TSampleColor>& samples,
                                  std::vector<Channels>& pixels) const {
  const int g = valuesPerPixel_;
  const bool hasPicture = result.HasColors();
  const std::uint32_t* colors = result.ColorPlane();
  std::fill(pixels.begin(), pixels.end(), Channels{0, 0, 0, 0});
  for (int sx = g * px; sx < g * px + g; ++sx) {
    ColorColumn(result, sx, columns, g > 1, samples);
    const bool reached = sx < columns;
    const std::uint32_t* column = hasPicture && reached
                                      ? colors + static_cast<std::size_t>(sx) * result.GetHeight()
                                      : nullptr;
    if (g == 1) {
      for (int py = 0; py < height; ++py) {
        const std::uint32_t picture = column ? column[py] : 0;
        pixels[static_cast<std::size_t>(py)] = forExport ? Export(samples[py], picture, hasPicture)
                                                         : Display(samples[py], picture, hasPicture);
      }
      continue;
    }
    // The samples' channels in place of their colours, then summed into their pixels.
    for (int sy = 0; sy < g * height; ++sy) {
      const std::uint32_t picture = column ? column[sy] : 0;
      TSampleColor& sample = samples[static_cast<std::size_t>(sy)];
      const Channels c =
          forExport ? Export(sample, picture, hasPicture) : Display(sample, picture, hasPicture);
      sample = {c.red, c.green, c.blue, c.opacity};
    }
    AddSampleShares(samples.data(), height, g, pixels.data());
  }
}

void TResultRenderer::PaintPixelColumns(const TFractResult& result, Bitmap24& bitmap, int first,
                                        int end) const {
  const bool agrees = bitmap.width == result.GetWidth() / valuesPerPixel_ &&
                      bitmap.height == result.GetHeight() / valuesPerPixel_ &&
                      bitmap.rgb.size() == static_cast<std::size_t>(bitmap.width) * bitmap.height * 3;
  if (!agrees) return;
  first = std::max(first, 0);
  end = std::min(end, bitmap.width);
  if (first >= end || bitmap.height <= 0) return;
  if (valuesPerPixel_ == 1) {
    PaintSampleColumns(result, bitmap, first, end);
    return;
  }
  std::vector<TSampleColor> samples(static_cast<std::size_t>(bitmap.height) * valuesPerPixel_);
  std::vector<Channels> pixels(static_cast<std::size_t>(bitmap.height));
  for (int px = first; px < end; ++px) {
    PixelColumn(result, px, bitmap.height, result.GetWidth(), false, samples, pixels);
    for (int py = 0; py < bitmap.height; ++py) {
      const Channels& c = pixels[static_cast<std::size_t>(py)];
      WritePixel(bitmap, px, py, c.red, c.green, c.blue);
    }
  }
}

void TResultRenderer::PaintSampleColumns(const TFractResult& result, Bitmap24& bitmap, int first,
                                         int end) const {
  const int rows = bitmap.height;
  const bool hasPicture = result.HasColors();
  const std::int32_t* cyclePlane = result.CyclePlane();
  // The vector painter leaves some samples (their rows) to the one-sample way.
  std::vector<int> undone(static_cast<std::size_t>(rows));
  std::vector<TSampleColor> samples(static_cast<std::size_t>(rows));
  for (int px = first; px < end; ++px) {
    const std::size_t offset = static_cast<std::size_t>(px) * result.GetHeight();
    const float* depths = result.DepthPlane() + offset;
    const std::int32_t* cycles = cyclePlane ? cyclePlane + offset : nullptr;
    const PixelVector& vector = colorer_.Vector();
    if (!hasPicture && vector.usable()) {
      const int left = vector.Paint(depths, cycles, rows, background_, maxDepthPixel_,
                                    bitmap.Pixel(px, 0),
                                    static_cast<std::ptrdiff_t>(bitmap.width) * 3, undone.data());
      for (int k = 0; k < left; ++k) {
        const int py = undone[static_cast<std::size_t>(k)];
        const Channels c = Display(colorer_(depths[py], cycles ? cycles[py] : 1, false), 0, false);
        WritePixel(bitmap, px, py, c.red, c.green, c.blue);
      }
      continue;
    }
    // Colour the sample column and write its pixels in one pass.
    colorer_.ColorRun(depths, cycles, rows, false, samples.data());
    const std::uint32_t* colors = hasPicture ? result.ColorPlane() + offset : nullptr;
    for (int py = 0; py < rows; ++py) {
      const Channels c = Display(samples[static_cast<std::size_t>(py)], colors ? colors[py] : 0,
                                 hasPicture);
      WritePixel(bitmap, px, py, c.red, c.green, c.blue);
    }
  }
}

bool TResultRenderer::RenderExport(const TFractResult& result, TifImage& image) const {
  std::string error;
  return RenderExport(result, image, error);
}

bool TResultRenderer::RenderExport(const TFractResult& result, TifImage& image, std::string& error,
                                   int threads) const {
  const int width = result.GetWidth() / valuesPerPixel_;
  const int height = result.GetHeight() / valuesPerPixel_;
  image = TifImage();
  // Four bytes of colour and one of alpha per pixel.
  if (!PictureFits(width, height, 5, error)) return false;
  try {
    image = TifImage(width, height, true);
  } catch (const std::bad_alloc&) {
    image = TifImage();
    error = PictureNoMemoryText(width, height);
    return false;
  }
  if (width <= 0 || height <= 0) return true;
  const int columns = result.GetComputed();
  try {
    // Every range writes its own pixel columns of the image.
    ForEachRange(width, threads, [&](int first, int end) {
      std::vector<TSampleColor> samples(static_cast<std::size_t>(height) * valuesPerPixel_);
      std::vector<Channels> pixels(static_cast<std::size_t>(height));
      std::vector<std::uint32_t> colors(static_cast<std::size_t>(height));
      std::vector<std::uint8_t> alpha(static_cast<std::size_t>(height));
      std::vector<int> undone(static_cast<std::size_t>(height));
      for (int px = first; px < end; ++px) {
        if (valuesPerPixel_ == 1 && px < columns && !result.HasColors() &&
            colorer_.Vector().usable()) {
          // Most samples by vector; the ones it leaves go the one-sample way.
          const std::size_t offset = static_cast<std::size_t>(px) * result.GetHeight();
          const float* depths = result.DepthPlane() + offset;
          const std::int32_t* cycles =
              result.CyclePlane() ? result.CyclePlane() + offset : nullptr;
          const int left = colorer_.Vector().Export(depths, cycles, height, maxDepthPixel_,
                                                    colors.data(), alpha.data(), undone.data());
          for (int k = 0; k < left; ++k) {
            const auto py = static_cast<std::size_t>(undone[static_cast<std::size_t>(k)]);
            const Channels c =
                Export(colorer_(depths[py], cycles ? cycles[py] : 1, false), 0, false);
            colors[py] = ExportColor(c);
            alpha[py] = ToByte(c.opacity * 255);
          }
        } else {
          PixelColumn(result, px, height, columns, true, samples, pixels);
          for (int py = 0; py < height; ++py) {
            const Channels& c = pixels[static_cast<std::size_t>(py)];
            colors[static_cast<std::size_t>(py)] = ExportColor(c);
            alpha[static_cast<std::size_t>(py)] = ToByte(c.opacity * 255);
          }
        }
        std::uint32_t* colorOut = image.ColorData() + px;
        std::uint8_t* alphaOut = image.AlphaData() + px;
        for (int py = 0; py < height; ++py, colorOut += width, alphaOut += width) {
          *colorOut = colors[static_cast<std::size_t>(py)];
          *alphaOut = alpha[static_cast<std::size_t>(py)];
        }
      }
    });
  } catch (const std::bad_alloc&) {
    image = TifImage();
    error = PictureNoMemoryText(width, height);
    return false;
  }
  return true;
}

int PixelWidth(const TFractResult& result, const TFractViewProps& view) {
  return result.GetWidth() / std::max(1, view.ValuesPerPixel.GetValue());
}

int PixelHeight(const TFractResult& result, const TFractViewProps& view) {
  return result.GetHeight() / std::max(1, view.ValuesPerPixel.GetValue());
}

bool BitmapAgrees(const TFractResult& result, const TFractViewProps& view, const Bitmap24& bitmap) {
  return bitmap.width == PixelWidth(result, view) && bitmap.height == PixelHeight(result, view) &&
         bitmap.rgb.size() == static_cast<std::size_t>(bitmap.width) * bitmap.height * 3;
}

bool NewBitmap(TFractResult& result, const TFractViewProps& view, std::string& error) {
  error.clear();
  result.SetBitmap(nullptr);  // its memory may be needed for the new one
  const int width = PixelWidth(result, view);
  const int height = PixelHeight(result, view);
  if (!PictureFits(width, height, 3, error)) return false;
  try {
    result.SetBitmap(std::make_unique<Bitmap24>(width, height));
  } catch (const std::bad_alloc&) {
    error = PictureNoMemoryText(width, height);
    return false;
  }
  return true;
}

bool NewBitmap(TFractResult& result, const TFractViewProps& view) {
  std::string error;
  return NewBitmap(result, view, error);
}

void PaintNewColumns(TFractResult& result, const TFractViewProps& view, std::int32_t maxCycle,
                     const std::function<void()>& refresh, int threads) {
  Bitmap24* bitmap = result.GetBitmap();
  if (bitmap == nullptr || !BitmapAgrees(result, view, *bitmap)) return;
  const int computed = result.GetComputed();
  TResultRenderer renderer(view, maxCycle);
  const int g = renderer.ValuesPerPixel();
  const int first = result.GetPainted() / g;
  const int end = computed / g;
  if (threads != 1) {
    // Pixel columns are independent: each range paints its own.
    ForEachRange(end - first, threads, [&](int from, int to) {
      renderer.PaintPixelColumns(result, *bitmap, first + from, first + to);
    });
  } else {
    for (int px = first; px < end; ++px) {
      renderer.PaintPixelColumns(result, *bitmap, px, px + 1);
      if (refresh && px % 20 == 0) refresh();
    }
  }
  result.SetPainted(computed);
}
