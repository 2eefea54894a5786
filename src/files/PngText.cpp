#include "files/PngText.h"

#include <array>
#include <cstdint>

#include "common/SafeFile.h"

namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t ReadBig(std::string_view bytes, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(bytes[at])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8) |
         std::uint32_t{static_cast<unsigned char>(bytes[at + 3])};
}

void AppendBig(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string Utf8OfLatin1(std::string_view latin1) {
  std::string utf8;
  utf8.reserve(latin1.size());
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// False for invalid UTF-8 or a character beyond Latin-1.
bool Latin1OfUtf8(std::string_view utf8, std::string& latin1) {
  latin1.clear();
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = utf8[i];
    if (c < 0x80) {
      latin1 += static_cast<char>(c);
      continue;
    }
    if ((c & 0xFE) != 0xC2 || i + 1 >= utf8.size()) return false;
    const unsigned char next = utf8[++i];
    if ((next & 0xC0) != 0x80) return false;
    latin1 += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
  }
  return true;
}

}  // namespace

bool IsPngSignature(std::string_view bytes) { return bytes.substr(0, 8) == kSignature; }

bool IsPngFile(const std::string& fileName) {
  std::string bytes, error;
  return ReadFilePrefix(fileName, bytes, error, kSignature.size()) && IsPngSignature(bytes);
}

bool PngTextChunkData(std::string_view keyword, std::string_view latin1, std::string& data) {
  if (latin1.size() > kMaxPngTextBytes || keyword.empty() || keyword.size() > 79) return false;
  // Keyword, NUL, compression flag 0, method 0, empty language, NUL, empty translated keyword,
  // NUL, text.
  data.assign(keyword);
  data.append(std::string_view("\0\0\0\0\0", 5));
  data += Utf8OfLatin1(latin1);
  return true;
}

bool InsertPngText(std::string& png, std::string_view keyword, std::string_view latin1) {
  // Signature, then IHDR: length 13, type, 13 bytes, CRC.
  constexpr std::size_t kAfterHeader = 8 + 4 + 4 + 13 + 4;
  std::string data;
  if (!IsPngSignature(png) || png.size() < kAfterHeader || png.compare(12, 4, "IHDR") != 0 ||
      !PngTextChunkData(keyword, latin1, data)) {
    return false;
  }
  const std::string chunk = "iTXt" + data;
  std::string block;
  AppendBig(block, static_cast<std::uint32_t>(chunk.size() - 4));
  block += chunk;
  AppendBig(block, Crc32(chunk));
  png.insert(kAfterHeader, block);
  return true;
}

PngTextResult FindPngText(std::string_view png, std::string_view keyword, std::string& latin1,
                          std::string& error) {
  if (!IsPngSignature(png)) {
    error = "The file is not a PNG picture.";
    return PngTextResult::Damaged;
  }
  for (std::size_t at = 8; at < png.size();) {
    if (png.size() - at < 12) {
      error = "A chunk of the PNG picture is cut short.";
      return PngTextResult::Damaged;
    }
    const std::uint32_t length = ReadBig(png, at);
    if (length > png.size() - at - 12) {
      error = "A chunk of the PNG picture runs past the end of the file.";
      return PngTextResult::Damaged;
    }
    const std::string_view chunk = png.substr(at + 4, 4 + std::size_t{length});
    const std::string_view type = chunk.substr(0, 4);
    const std::string_view data = chunk.substr(4);
    at += 12 + std::size_t{length};
    if (type == "IEND") break;
    if (type != "iTXt" || data.substr(0, keyword.size() + 1) != std::string(keyword) + '\0') {
      continue;
    }
    if (ReadBig(png, at - 4) != Crc32(chunk)) {
      error = "The document in the PNG picture is damaged (checksum).";
      return PngTextResult::Damaged;
    }
    // Flags, then the language tag and the translated keyword, each ending with NUL.
    std::size_t text = keyword.size() + 1;
    if (data.size() < text + 2 || data[text] != 0) {
      error = "The document in the PNG picture is compressed or damaged.";
      return PngTextResult::Damaged;
    }
    text += 2;
    for (int field = 0; field < 2; ++field) {
      const std::size_t end = data.find('\0', text);
      if (end == std::string_view::npos) {
        error = "The document in the PNG picture is damaged.";
        return PngTextResult::Damaged;
      }
      text = end + 1;
    }
    if (data.size() - text > kMaxPngTextBytes * 2) {
      error = "The document in the PNG picture is too large.";
      return PngTextResult::Damaged;
    }
    if (!Latin1OfUtf8(data.substr(text), latin1)) {
      error = "The document in the PNG picture holds characters the program cannot read.";
      return PngTextResult::Damaged;
    }
    return PngTextResult::Found;
  }
  error = "The PNG picture holds no Korvana document.";
  return PngTextResult::Missing;
}
