#include "files/TifFileWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <string_view>

#include "common/Assert.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/StreamedFile.h"
#include "files/TifImage.h"

namespace {

// Pixels per centimetre of the written resolution tags, stored as trunc(value * 10000) / 10000.
constexpr double kPixelsPerCentimetre = 28.346;
constexpr std::uint32_t kResolutionDenominator = 10000;

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// The values of tag in file form (little-endian, rationals numerator first).
std::string ValueBytes(const TifTag& tag) {
  std::string out;
  for (std::uint32_t i = 0; i < tag.GetCount(); ++i) {
    switch (tag.GetType()) {
      case TifTag::typeShort:
        Put16(out, tag.GetShort(i));
        break;
      case TifTag::typeLong:
        Put32(out, tag.GetLong(i));
        break;
      case TifTag::typeRational:
        Put32(out, tag.GetLong(i));
        Put32(out, tag.GetDenominator(i));
        break;
      default:
        out.push_back(static_cast<char>(tag.GetByte(i)));
        break;
    }
  }
  return out;
}

// The header, directory and out-of-entry values, padded with zeros up to the pixel offset.
std::string DirectoryBytes(const std::vector<TifTag>& tags, bool growPastPixelOffset = false) {
  std::string out = "II";
  Put16(out, 42);
  Put32(out, 8);
  Put16(out, static_cast<std::uint16_t>(tags.size()));
  std::string extra;
  const std::uint32_t extraStart = static_cast<std::uint32_t>(8 + 2 + tags.size() * 12 + 4);
  for (const TifTag& tag : tags) {
    Put16(out, tag.GetTag());
    Put16(out, tag.GetType());
    Put32(out, tag.GetCount());
    std::string values = ValueBytes(tag);
    if (values.size() <= 4) {
      values.resize(4, '\0');
      out += values;
    } else {
      Put32(out, extraStart + static_cast<std::uint32_t>(extra.size()));
      extra += values;
    }
  }
  Put32(out, 0);
  out += extra;
  if (growPastPixelOffset && out.size() > TifFileWriter::kPixelOffset) return out;
  KORVANA_ASSERT(out.size() <= TifFileWriter::kPixelOffset);
  out.resize(TifFileWriter::kPixelOffset, '\0');
  return out;
}

// Pixels converted per piece: the piece's bytes stay in the cache until they are appended.
constexpr std::size_t kPiecePixels = 16384;
// Pixels converted per write of a streamed file: a megabyte or less.
constexpr std::size_t kStreamPixels = std::size_t{1} << 18;

// The file bytes of count pixels from first on (R, G, B and with alpha A per pixel) to out;
// returns the end of the bytes written.
char* PutPixels(const TifImage& image, std::size_t first, std::size_t count, char* out) {
  const std::uint32_t* color = image.Colors().data() + first;
  const std::uint32_t* const end = color + count;
  if (image.HasAlpha()) {
    const std::uint8_t* alpha = image.Alpha().data() + first;
    for (; color < end; ++color, ++alpha, out += 4) {
      out[0] = static_cast<char>(*color & 0xFF);
      out[1] = static_cast<char>((*color >> 8) & 0xFF);
      out[2] = static_cast<char>((*color >> 16) & 0xFF);
      out[3] = static_cast<char>(*alpha);
    }
  } else {
    for (; color < end; ++color, out += 3) {
      out[0] = static_cast<char>(*color & 0xFF);
      out[1] = static_cast<char>((*color >> 8) & 0xFF);
      out[2] = static_cast<char>((*color >> 16) & 0xFF);
    }
  }
  return out;
}

// Hands the file bytes of all pixels in pieces of at most kPiecePixels pixels to sink; stops
// with false as soon as sink returns false.
template <class Sink>
bool ForPixelPieces(const TifImage& image, Sink&& sink) {
  char piece[kPiecePixels * 4];
  const std::size_t pixels = image.Colors().size();
  for (std::size_t first = 0; first < pixels; first += kPiecePixels) {
    const std::size_t count = std::min(kPiecePixels, pixels - first);
    const char* end = PutPixels(image, first, count, piece);
    if (!sink(std::string_view(piece, static_cast<std::size_t>(end - piece)))) return false;
  }
  return true;
}

void AppendDigits(std::string& out, int value, int width) {
  char buffer[16];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  out.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, width - (end - buffer))), '0');
  out.append(buffer, end);
}

}  // namespace

TifFileWriter::TifFileWriter(const std::string& programName, const std::string& version)
    : software_(programName + " " + version) {}

TifHeader TifFileWriter::MakeHeader(const TifImage& image, const std::string& dateTime) const {
  return MakeHeader(image.GetWidth(), image.GetHeight(), image.HasAlpha(), dateTime);
}

TifHeader TifFileWriter::MakeHeader(int width, int height, bool alpha,
                                    const std::string& dateTime) const {
  TifHeader header;
  header.Width = width;
  header.Height = height;
  header.SamplesPerPixel = alpha ? 4 : 3;
  header.BitsPerSampleCount = header.SamplesPerPixel;
  header.BitsPerSample = {8, 8, 8, static_cast<std::uint16_t>(alpha ? 8 : 0)};
  header.ExtraSamples = alpha ? 1 : 0;  // associated alpha
  header.PlanarConfiguration = 1;
  header.ResolutionUnit = 3;  // centimetre
  const auto resolution = static_cast<std::uint32_t>(kPixelsPerCentimetre * kResolutionDenominator);
  header.XResolutionNumerator = header.YResolutionNumerator = resolution;
  header.XResolutionDenominator = header.YResolutionDenominator = kResolutionDenominator;
  header.RowsPerStrip = static_cast<std::uint32_t>(height);
  header.HasRowsPerStrip = true;
  header.StripOffsets = {kPixelOffset};
  header.StripByteCounts = {static_cast<std::uint32_t>(header.SamplesPerPixel) *
                            static_cast<std::uint32_t>(width) *
                            static_cast<std::uint32_t>(height)};
  header.HasStripByteCounts = true;
  header.DateTime = dateTime;
  header.Software = software_;
  return header;
}

std::vector<TifTag> TifFileWriter::MakeTags(const TifHeader& h) {
  using T = TifTag;
  std::vector<std::uint16_t> bits(h.BitsPerSample.begin(),
                                  h.BitsPerSample.begin() + h.BitsPerSampleCount);
  std::vector<TifTag> tags{
      T(254, T::typeLong, h.SubfileType),
      T(256, T::typeLong, static_cast<std::uint32_t>(h.Width)),
      T(257, T::typeLong, static_cast<std::uint32_t>(h.Height)),
      T(258, T::typeShort, std::move(bits)),
      T(259, T::typeShort, std::uint16_t{1}),
      T(262, T::typeShort, std::uint16_t{2}),
      T(273, T::typeLong, h.StripOffsets),
      T(277, T::typeShort, h.SamplesPerPixel),
      T(278, T::typeLong, h.RowsPerStrip),
      T(279, T::typeLong, h.StripByteCounts),
      T(282, T::typeRational, h.XResolutionNumerator, h.XResolutionDenominator),
      T(283, T::typeRational, h.YResolutionNumerator, h.YResolutionDenominator),
      T(284, T::typeShort, h.PlanarConfiguration),
      T(296, T::typeShort, h.ResolutionUnit),
      T(305, T::typeAscii, h.Software),
      T(306, T::typeAscii, h.DateTime),
  };
  if (h.HasAlpha()) tags.emplace_back(338, T::typeShort, h.ExtraSamples);
  return tags;
}

std::string TifFileWriter::EncodeStripDirectory(int width, int height, bool alpha,
                                                std::uint32_t rowsPerStrip,
                                                const std::string& dateTime,
                                                std::uint32_t& pixelOffset) const {
  std::string ignored;
  if (!CheckEncodable(width, height, alpha, ignored) || rowsPerStrip == 0) return {};
  TifHeader header = MakeHeader(width, height, alpha, dateTime);
  const auto rows = static_cast<std::uint32_t>(height);
  rowsPerStrip = std::min(rowsPerStrip, rows);
  const std::uint32_t strips = (rows + rowsPerStrip - 1) / rowsPerStrip;
  const std::uint64_t rowBytes = std::uint64_t{header.SamplesPerPixel} * static_cast<std::uint32_t>(width);
  header.RowsPerStrip = rowsPerStrip;
  header.StripOffsets.assign(strips, 0);
  header.StripByteCounts.assign(strips, 0);
  // The directory's size depends on the number of strips only: measure it with zero offsets.
  std::uint64_t offset = DirectoryBytes(MakeTags(header), true).size();
  offset = offset <= kPixelOffset ? kPixelOffset : (offset + 15) / 16 * 16;
  if (offset + rowBytes * rows > 0xFFFFFFFFull) return {};
  pixelOffset = static_cast<std::uint32_t>(offset);
  for (std::uint32_t k = 0; k < strips; ++k) {
    const std::uint32_t stripRows = std::min(rowsPerStrip, rows - k * rowsPerStrip);
    header.StripOffsets[k] = static_cast<std::uint32_t>(offset);
    header.StripByteCounts[k] = static_cast<std::uint32_t>(rowBytes * stripRows);
    offset += rowBytes * stripRows;
  }
  std::string out = DirectoryBytes(MakeTags(header), true);
  out.resize(pixelOffset, '\0');
  return out;
}

std::string TifFileWriter::Encode(const TifImage& image, const std::string& dateTime) const {
  std::string out = DirectoryBytes(MakeTags(MakeHeader(image, dateTime)));
  // Reserved once: every pixel byte is written once into the string, none is cleared first.
  out.reserve(out.size() + image.Colors().size() * (image.HasAlpha() ? 4 : 3));
  ForPixelPieces(image, [&out](std::string_view bytes) {
    out += bytes;
    return true;
  });
  return out;
}

bool TifFileWriter::CheckEncodable(int width, int height, bool alpha, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "Picture has no pixels.";
    return false;
  }
  // Offsets and byte counts are 32-bit: a bigger picture cannot be stored in one TIFF file.
  const std::uint64_t pixelBytes = std::uint64_t{alpha ? 4u : 3u} *
                                   static_cast<std::uint64_t>(width) *
                                   static_cast<std::uint64_t>(height);
  if (pixelBytes > 0xFFFFFFFFull - kPixelOffset) {
    error = "Picture is too large for a TIF file.";
    return false;
  }
  return true;
}

bool TifFileWriter::Write(const std::string& fileName, const TifImage& image,
                          std::string& error) const {
  if (!CheckEncodable(image.GetWidth(), image.GetHeight(), image.HasAlpha(), error)) return false;
  std::string reason;
  FileFailure failure = FileFailure::None;
  struct stat st {};
  const bool regular = ::stat(ResolveSaveTarget(fileName).c_str(), &st) != 0 || S_ISREG(st.st_mode);
  if (!regular) {
    // A device or FIFO is written in place, as every save writes one.
    if (!WriteFileAtomically(fileName, Encode(image, LocalDateTime()), reason, &failure)) {
      error = PictureSaveFailureText(failure, reason);
      return false;
    }
    return true;
  }
  // Streamed: the pixels are converted straight into a buffer of at most a megabyte that is
  // written as it fills, so the file is never held whole in memory.
  StreamedFile file;
  if (!file.Open(fileName, reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
    return false;
  }
  const std::size_t pixels = image.Colors().size();
  const auto buffer = std::make_unique_for_overwrite<char[]>(std::min(pixels, kStreamPixels) * 4);
  bool written = file.Append(DirectoryBytes(MakeTags(MakeHeader(image, LocalDateTime()))), reason);
  for (std::size_t first = 0; written && first < pixels; first += kStreamPixels) {
    const char* end = PutPixels(image, first, std::min(kStreamPixels, pixels - first), buffer.get());
    written = file.Append(std::string_view(buffer.get(), static_cast<std::size_t>(end - buffer.get())),
                          reason);
  }
  if (!written || !file.Commit(reason)) {
    error = PictureSaveFailureText(FileFailure::Write, reason);
    return false;
  }
  return true;
}

std::string TifFileWriter::FormatDateTime(const std::tm& time) {
  std::string text;
  AppendDigits(text, time.tm_year + 1900, 4);
  text += ':';
  AppendDigits(text, time.tm_mon + 1, 2);
  text += ':';
  AppendDigits(text, time.tm_mday, 2);
  text += ' ';
  AppendDigits(text, time.tm_hour, 2);
  text += ':';
  AppendDigits(text, time.tm_min, 2);
  text += ':';
  AppendDigits(text, time.tm_sec, 2);
  return text;
}

std::string TifFileWriter::LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FormatDateTime(local);
}
