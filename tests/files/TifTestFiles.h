#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds TIFF files for tests in either byte order: a header, one directory with the given
// entries and, after it, the out-of-entry values and the pixel data.
struct TifTestEntry {
  std::uint16_t tag;
  std::uint16_t type;                 // 1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL
  std::vector<std::uint32_t> values;  // RATIONAL: numerator, denominator pairs
};

class TifTestFile {
 public:
  explicit TifTestFile(bool bigEndian) : bigEndian_(bigEndian) {}

  // An uncompressed RGB(A) picture of one strip; the pixels are added with Pixels.
  static std::vector<TifTestEntry> RgbEntries(std::uint32_t width, std::uint32_t height,
                                              int samples, std::uint32_t stripOffset) {
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(samples), 8);
    return {{256, 4, {width}},
            {257, 4, {height}},
            {258, 3, bits},
            {259, 3, {1}},
            {262, 3, {2}},
            {273, 4, {stripOffset}},
            {277, 3, {static_cast<std::uint32_t>(samples)}},
            {278, 4, {height}},
            {279, 4, {width * height * static_cast<std::uint32_t>(samples)}}};
  }

  // The file: header, directory at offset 8, values beyond 4 bytes after it, then zeros up to
  // pixelOffset and the pixel bytes.
  std::string Build(const std::vector<TifTestEntry>& entries, std::uint32_t pixelOffset,
                    const std::string& pixels) const {
    std::string out = bigEndian_ ? "MM" : "II";
    Put(out, 42, 2);
    Put(out, 8, 4);
    Put(out, entries.size(), 2);
    std::string extra;
    const std::size_t extraStart = 8 + 2 + entries.size() * 12 + 4;
    for (const TifTestEntry& e : entries) {
      Put(out, e.tag, 2);
      Put(out, e.type, 2);
      const std::size_t count = e.type == 5 ? e.values.size() / 2 : e.values.size();
      Put(out, count, 4);
      std::string values;
      for (std::uint32_t v : e.values) Put(values, v, Size(e.type));
      if (values.size() <= 4) {
        values.resize(4, '\0');
        out += values;
      } else {
        Put(out, extraStart + extra.size(), 4);
        extra += values;
      }
    }
    Put(out, 0, 4);
    out += extra;
    if (out.size() < pixelOffset) out.resize(pixelOffset, '\0');
    return out + pixels;
  }

 private:
  static int Size(std::uint16_t type) { return type == 3 ? 2 : type == 4 || type == 5 ? 4 : 1; }
  void Put(std::string& out, std::uint64_t value, int size) const {
    for (int i = 0; i < size; ++i) {
      const int shift = bigEndian_ ? 8 * (size - 1 - i) : 8 * i;
      out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  }

  bool bigEndian_;
};
