#pragma once

#include <cstdint>

// The per-channel arithmetic of palette lookups, shared by the chain and its tables so that both
// give the same bits.
namespace PaletteChannels {

// The channel at shift (0 red, 8 green, 16 blue) of a colour word.
inline double Channel(std::uint32_t color, int shift) {
  return static_cast<double>((color >> shift) & 0xFFu);
}

// Truncates toward zero; the inputs lie in 0..255, so the result does too.
inline std::uint32_t TruncChannel(double value) {
  return static_cast<std::uint32_t>(value) & 0xFFu;
}

// Anchor + (colour - anchor) * factor, per channel.
inline double SuperChannel(std::uint32_t color, std::uint32_t anchor, double factor, int shift) {
  const double a = Channel(anchor, shift);
  return a + (Channel(color, shift) - a) * factor;
}

}  // namespace PaletteChannels
