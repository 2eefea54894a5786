#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "files/PngRows.h"

namespace {

// zlib's checksum for lengths around the vector steps and the runs between reductions, from
// several starting values, on random bytes and on all-255 bytes (the largest sums).
TEST(PngRows, Adler32IsZlibs) {
  std::mt19937 random(3);
  std::vector<std::uint8_t> noise(70000), full(70000, 0xFF);
  for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
  const std::size_t lengths[] = {0,    1,    31,   32,    33,    63,    64,   5551,
                                 5552, 5553, 5584, 11104, 11105, 65536, 70000};
  for (const auto* data : {&noise, &full}) {
    for (std::uint32_t start : {1u, (1234u << 16) | 5678u, (65520u << 16) | 65520u}) {
      for (std::size_t length : lengths) {
        const auto want =
            static_cast<std::uint32_t>(adler32(start, data->data(), static_cast<uInt>(length)));
        EXPECT_EQ(PngRows::Adler32(start, data->data(), length), want)
            << std::hex << start << std::dec << " " << length;
      }
    }
  }
}

TEST(PngRows, FilterUpSubtractsTheRowAboveForEveryLength) {
  std::mt19937 random(9);
  for (std::size_t length : {0, 1, 15, 16, 17, 47, 6000}) {
    std::vector<std::uint8_t> row(length), above(length), out(length + 1, 0xAB);
    for (auto& byte : row) byte = static_cast<std::uint8_t>(random());
    for (auto& byte : above) byte = static_cast<std::uint8_t>(random());
    PngRows::FilterUp(row.data(), above.data(), length, out.data());
    for (std::size_t i = 0; i < length; ++i) {
      ASSERT_EQ(out[i], static_cast<std::uint8_t>(row[i] - above[i])) << length << " " << i;
    }
    EXPECT_EQ(out[length], 0xAB) << "written past the row of " << length;
  }
}

}  // namespace
