#include "files/TifFileWriter.h"

#include <algorithm>
#include <charconv>

#include "common/Assert.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
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

void AppendPixels(std::string& out, const TifImage& image) {
  const bool alpha = image.HasAlpha();
  out.reserve(out.size() + image.Colors().size() * (alpha ? 4 : 3));
  for (std::size_t i = 0; i < image.Colors().size(); ++i) {
    const std::uint32_t color = image.Colors()[i];
    out.push_back(static_cast<char>(color & 0xFF));
    out.push_back(static_cast<char>((color >> 8) & 0xFF));
    out.push_back(static_cast<char>((color >> 16) & 0xFF));
    if (alpha) out.push_back(static_cast<char>(image.Alpha()[i]));
  }
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
  AppendPixels(out, image);
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
  if (!WriteFileAtomically(fileName, Encode(image, LocalDateTime()), reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
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
