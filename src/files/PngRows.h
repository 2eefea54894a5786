#pragma once

#include <cstddef>
#include <cstdint>

// The byte work of PNG encoding, with vector units where the processor has them.
namespace PngRows {

// out[i] = row[i] - above[i] (mod 256) for i < bytes: the Up filter of one row.
void FilterUp(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
              std::uint8_t* out);

// zlib's adler32(adler, data, bytes): the same checksum, with AVX2 where the processor has it.
std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t bytes);

}  // namespace PngRows
