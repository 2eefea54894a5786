#include "files/TifFileReader.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/TifImage.h"
#include "files/TifTag.h"

namespace {

// Largest picture the reader accepts, in pixels (a quarter of a gigapixel).
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;
// Largest file the reader loads.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

// Bounds-checked access to the file's bytes in the file's byte order.
class ByteSource {
 public:
  ByteSource(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

  std::uint64_t Size() const { return bytes_.size(); }
  bool Holds(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  std::uint8_t Byte(std::uint64_t offset) const {
    return static_cast<std::uint8_t>(bytes_[static_cast<std::size_t>(offset)]);
  }
  // Callers check Holds first.
  std::uint16_t Get16(std::uint64_t offset) const {
    const std::uint16_t a = Byte(offset), b = Byte(offset + 1);
    return static_cast<std::uint16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
  }
  std::uint32_t Get32(std::uint64_t offset) const {
    const std::uint32_t a = Get16(offset), b = Get16(offset + 2);
    return bigEndian_ ? (a << 16) | b : (b << 16) | a;
  }

 private:
  std::string_view bytes_;
  bool bigEndian_;
};

std::string Invalid(const std::string& reason) { return "TIF file is invalid: " + reason; }

bool IsInterpreted(std::uint16_t tag) {
  switch (tag) {
    case 254:
    case 256:
    case 257:
    case 258:
    case 259:
    case 262:
    case 273:
    case 277:
    case 278:
    case 279:
    case 282:
    case 283:
    case 284:
    case 296:
    case 305:
    case 306:
    case 338:
      return true;
    default:
      return false;
  }
}

// The values of the entry at entryOffset, or none for a field type this library skips. Fails
// with a message when they lie outside the file.
bool ReadTag(const ByteSource& src, std::uint64_t entryOffset, std::optional<TifTag>& tag,
             std::string& error) {
  const std::uint16_t number = src.Get16(entryOffset);
  const std::uint16_t type = src.Get16(entryOffset + 2);
  const std::uint32_t count = src.Get32(entryOffset + 4);
  const std::uint32_t size = TifTag::TypeSize(type);
  if (size == 0) return true;
  const std::uint64_t length = std::uint64_t{size} * count;
  std::uint64_t at = entryOffset + 8;
  if (length > 4) at = src.Get32(at);
  if (!src.Holds(at, length)) {
    error = Invalid("the values of tag " + std::to_string(number) + " lie outside the file.");
    return false;
  }
  if (size == 1) {
    std::vector<std::uint8_t> bytes(count);
    for (std::uint32_t i = 0; i < count; ++i) bytes[i] = src.Byte(at + i);
    tag.emplace(number, type, std::move(bytes));
  } else if (type == TifTag::typeShort) {
    std::vector<std::uint16_t> shorts(count);
    for (std::uint32_t i = 0; i < count; ++i) shorts[i] = src.Get16(at + 2 * std::uint64_t{i});
    tag.emplace(number, type, std::move(shorts));
  } else if (type == TifTag::typeLong) {
    std::vector<std::uint32_t> longs(count);
    for (std::uint32_t i = 0; i < count; ++i) longs[i] = src.Get32(at + 4 * std::uint64_t{i});
    tag.emplace(number, type, std::move(longs));
  } else {
    std::vector<std::uint32_t> numerators(count), denominators(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      numerators[i] = src.Get32(at + 8 * std::uint64_t{i});
      denominators[i] = src.Get32(at + 8 * std::uint64_t{i} + 4);
    }
    tag.emplace(number, type, std::move(numerators), std::move(denominators));
  }
  return true;
}

std::string TagText(const TifTag& tag) {
  std::string text(tag.Bytes().begin(), tag.Bytes().end());
  const auto end = text.find('\0');
  return end == std::string::npos ? text : text.substr(0, end);
}

// Raw sizes as the file gives them, checked before they become the header's ints.
struct Dimensions {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool hasSamplesPerPixel = false;
};

bool InterpretBits(const TifTag& tag, TifHeader& h, std::string& error) {
  if (tag.GetCount() != 3 && tag.GetCount() != 4) {
    error = "aantal Tags BitsPerSample van 3 of 4 werd verwacht (RGB codering).";
    return false;
  }
  h.BitsPerSampleCount = static_cast<std::uint16_t>(tag.GetCount());
  for (std::uint32_t i = 0; i < tag.GetCount(); ++i) {
    h.BitsPerSample[i] = static_cast<std::uint16_t>(tag.GetLong(i));
    if (h.BitsPerSample[i] != 8) {
      error = "cannot read TIF files with other than 8 bits per sample.";
      return false;
    }
  }
  return true;
}

// Applies one entry to the header; false with the message when the entry refuses the file.
bool Interpret(const TifTag& tag, TifHeader& h, Dimensions& d, std::string& error) {
  switch (tag.GetTag()) {
    case 254:
      h.SubfileType = tag.GetLong(0);
      break;
    case 256:
      d.width = tag.GetLong(0);
      break;
    case 257:
      d.height = tag.GetLong(0);
      break;
    case 258:
      return InterpretBits(tag, h, error);
    case 259:
      if (tag.GetLong(0) != 1) {
        error = "cannot unpack compressed TIF files.";
        return false;
      }
      break;
    case 262:
      if (tag.GetLong(0) != 2) {
        error = "Tag PhotometricInterpretation van 2 werd verwacht (RGB codering).";
        return false;
      }
      break;
    case 273:
      h.StripOffsets.clear();
      for (std::uint32_t i = 0; i < tag.GetCount(); ++i) h.StripOffsets.push_back(tag.GetLong(i));
      break;
    case 277:
      h.SamplesPerPixel = static_cast<std::uint16_t>(tag.GetLong(0));
      d.hasSamplesPerPixel = true;
      break;
    case 278:
      h.RowsPerStrip = tag.GetLong(0);
      h.HasRowsPerStrip = true;
      break;
    case 279:
      if (tag.GetCount() != h.StripOffsets.size()) {
        error = "aantal strips van Tags StripOffsets en StripByteCounts zijn ongelijk aan elkaar.";
        return false;
      }
      h.StripByteCounts.clear();
      for (std::uint32_t i = 0; i < tag.GetCount(); ++i) {
        h.StripByteCounts.push_back(tag.GetLong(i));
      }
      h.HasStripByteCounts = true;
      break;
    case 282:
      h.XResolutionNumerator = tag.GetLong(0);
      h.XResolutionDenominator = tag.GetDenominator(0);
      break;
    case 283:
      h.YResolutionNumerator = tag.GetLong(0);
      h.YResolutionDenominator = tag.GetDenominator(0);
      break;
    case 284:
      h.PlanarConfiguration = static_cast<std::uint16_t>(tag.GetLong(0));
      break;
    case 296:
      h.ResolutionUnit = static_cast<std::uint16_t>(tag.GetLong(0));
      break;
    case 305:
      h.Software = TagText(tag);
      break;
    case 306:
      h.DateTime = TagText(tag);
      break;
    case 338:
      h.ExtraSamples = static_cast<std::uint16_t>(tag.GetLong(0));
      break;
    default:
      break;
  }
  return true;
}

bool ReadDirectory(const ByteSource& src, TifHeader& h, Dimensions& d, std::string& error) {
  const std::uint32_t directory = src.Get32(4);
  if (!src.Holds(directory, 2)) {
    error = Invalid("the image file directory lies outside the file.");
    return false;
  }
  const std::uint16_t entries = src.Get16(directory);
  if (!src.Holds(directory + 2, std::uint64_t{entries} * 12)) {
    error = Invalid("the image file directory lies outside the file.");
    return false;
  }
  for (std::uint16_t i = 0; i < entries; ++i) {
    const std::uint64_t entry = directory + 2 + std::uint64_t{i} * 12;
    if (!IsInterpreted(src.Get16(entry))) continue;
    std::optional<TifTag> tag;
    if (!ReadTag(src, entry, tag, error)) return false;
    if (tag && !Interpret(*tag, h, d, error)) return false;
  }
  return true;
}

// Checks that the header describes a picture this reader can hold and that the file holds it.
bool CheckLayout(const ByteSource& src, TifHeader& h, const Dimensions& d, std::string& error) {
  if (h.BitsPerSampleCount == 0) {
    error = "aantal Tags BitsPerSample van 3 of 4 werd verwacht (RGB codering).";
    return false;
  }
  if (h.PlanarConfiguration == 2) {
    error = "cannot read TIF files with separate colour planes (PlanarConfiguration 2).";
    return false;
  }
  if (d.hasSamplesPerPixel && h.SamplesPerPixel != h.BitsPerSampleCount) {
    error = Invalid("SamplesPerPixel does not match BitsPerSample.");
    return false;
  }
  if (d.width == 0 || d.height == 0) {
    error = Invalid("the picture has no pixels.");
    return false;
  }
  if (std::uint64_t{d.width} * d.height > kMaxPixels) {
    error = Invalid("the picture is too large.");
    return false;
  }
  h.Width = static_cast<std::int32_t>(d.width);
  h.Height = static_cast<std::int32_t>(d.height);
  // Without RowsPerStrip the whole picture is one strip, as the format defines.
  if (!h.HasRowsPerStrip || h.RowsPerStrip > d.height) h.RowsPerStrip = d.height;
  if (h.RowsPerStrip == 0) {
    error = Invalid("RowsPerStrip is 0.");
    return false;
  }
  const std::uint64_t strips = (std::uint64_t{d.height} + h.RowsPerStrip - 1) / h.RowsPerStrip;
  if (h.StripOffsets.size() < strips) {
    error = Invalid("the strips do not cover the picture.");
    return false;
  }
  const std::uint64_t rowBytes = std::uint64_t{d.width} * h.BitsPerSampleCount;
  for (std::uint64_t k = 0; k < strips; ++k) {
    const std::uint64_t rows =
        std::min<std::uint64_t>(h.RowsPerStrip, d.height - k * h.RowsPerStrip);
    if (!src.Holds(h.StripOffsets[k], rows * rowBytes)) {
      error = Invalid("strip " + std::to_string(k) + " lies outside the file.");
      return false;
    }
  }
  return true;
}

TifImage ReadPixels(const ByteSource& src, const TifHeader& h) {
  const bool alpha = h.HasAlpha();
  const std::uint64_t samples = h.BitsPerSampleCount;
  const std::size_t pixels = static_cast<std::size_t>(h.Width) * static_cast<std::size_t>(h.Height);
  std::vector<std::uint32_t> colors(pixels);
  std::vector<std::uint8_t> alphaPlane(alpha ? pixels : 0);
  for (std::int32_t row = 0; row < h.Height; ++row) {
    const std::uint64_t strip = static_cast<std::uint64_t>(row) / h.RowsPerStrip;
    const std::uint64_t inStrip = static_cast<std::uint64_t>(row) % h.RowsPerStrip;
    std::uint64_t at = h.StripOffsets[strip] + inStrip * samples * h.Width;
    for (std::int32_t column = 0; column < h.Width; ++column, at += samples) {
      const std::size_t index = static_cast<std::size_t>(row) * h.Width + column;
      colors[index] = src.Byte(at) | (std::uint32_t{src.Byte(at + 1)} << 8) |
                      (std::uint32_t{src.Byte(at + 2)} << 16);
      if (alpha) alphaPlane[index] = src.Byte(at + 3);
    }
  }
  TifImage image(h.Width, h.Height, std::move(colors), std::move(alphaPlane));
  // ExtraSamples 2 marks straight (unassociated) alpha; anything else is taken as associated.
  image.SetAlphaAssociated(h.ExtraSamples != 2);
  return image;
}

}  // namespace

bool TifFileReader::Decode(std::string_view bytes, TifImage& image, std::string& error,
                           TifHeader* header) {
  if (bytes.size() < 2 ||
      !((bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M'))) {
    error = "TIF file is invalid: \"II\" or \"MM\" not found.";
    return false;
  }
  const ByteSource src(bytes, bytes[0] == 'M');
  if (!src.Holds(2, 2) || src.Get16(2) != 42) {
    error = "TIF file is invalid: Word 42 not found.";
    return false;
  }
  if (!src.Holds(4, 4)) {
    error = Invalid("the image file directory lies outside the file.");
    return false;
  }
  TifHeader h;
  Dimensions d;
  if (!ReadDirectory(src, h, d, error) || !CheckLayout(src, h, d, error)) return false;
  image = ReadPixels(src, h);
  if (header) *header = std::move(h);
  return true;
}

bool TifFileReader::Read(const std::string& fileName, TifImage& image, std::string& error) {
  std::string bytes, reason;
  FileFailure failure = FileFailure::None;
  if (!ReadWholeFile(fileName, bytes, reason, kMaxFileBytes, &failure)) {
    error = PictureReadFailureText(failure);
    return false;
  }
  return Decode(bytes, image, error);
}
