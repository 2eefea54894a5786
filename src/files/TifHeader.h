#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What the first image file directory of a TIFF file says about its picture. The writer fills it
// from a picture before writing; the reader fills it from the tags it interprets.
struct TifHeader {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uint32_t SubfileType = 0;
  std::uint16_t PlanarConfiguration = 1;
  std::uint16_t SamplesPerPixel = 0;
  // Bits of the red, green, blue and alpha samples; 0 until set. A fourth value other than 0
  // means the picture carries alpha.
  std::array<std::uint16_t, 4> BitsPerSample{};
  std::uint16_t BitsPerSampleCount = 0;
  std::uint16_t ExtraSamples = 0;
  std::uint16_t ResolutionUnit = 0;
  std::uint32_t XResolutionNumerator = 0;
  std::uint32_t XResolutionDenominator = 0;
  std::uint32_t YResolutionNumerator = 0;
  std::uint32_t YResolutionDenominator = 0;
  std::uint32_t RowsPerStrip = 0;
  bool HasRowsPerStrip = false;
  std::vector<std::uint32_t> StripOffsets;
  std::vector<std::uint32_t> StripByteCounts;
  bool HasStripByteCounts = false;
  std::string DateTime;
  std::string Software;

  bool HasAlpha() const { return BitsPerSample[3] != 0; }
};
