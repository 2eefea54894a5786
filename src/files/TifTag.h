#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of a TIFF image file directory: tag number, field type, value count and the values.
// BYTE and ASCII values live in the byte array, SHORT values in the short array, LONG values in
// the long array and RATIONAL values as numerators (long array) over denominators. Each
// constructor accepts only the field types of its values; any other is an internal error.
class TifTag {
 public:
  static constexpr std::uint16_t typeByte = 1;
  static constexpr std::uint16_t typeAscii = 2;
  static constexpr std::uint16_t typeShort = 3;
  static constexpr std::uint16_t typeLong = 4;
  static constexpr std::uint16_t typeRational = 5;

  // Bytes per value of a field type; 0 for a type this library does not know.
  static std::uint32_t TypeSize(std::uint16_t type);

  // A text with its terminating zero (count = length + 1); BYTE or ASCII.
  TifTag(std::uint16_t tag, std::uint16_t type, const std::string& text);
  // BYTE or ASCII values as given.
  TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint8_t> bytes);
  TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint16_t> shorts);
  TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> longs);
  TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> numerators,
         std::vector<std::uint32_t> denominators);
  TifTag(std::uint16_t tag, std::uint16_t type, std::uint16_t value);
  TifTag(std::uint16_t tag, std::uint16_t type, std::uint32_t value);
  TifTag(std::uint16_t tag, std::uint16_t type, std::uint32_t numerator, std::uint32_t denominator);

  std::uint16_t GetTag() const { return tag_; }
  std::uint16_t GetType() const { return type_; }
  std::uint32_t GetCount() const { return count_; }
  // Size of all values in bytes; values of at most 4 bytes are stored inside the entry.
  std::uint64_t GetByteSize() const { return std::uint64_t{TypeSize(type_)} * count_; }

  // Value at index: long from the longs, else the shorts, else the bytes; short from the shorts,
  // else the bytes; 0 when the array does not hold the index.
  std::uint32_t GetLong(std::size_t index) const;
  std::uint16_t GetShort(std::size_t index) const;
  std::uint8_t GetByte(std::size_t index) const;
  std::uint32_t GetDenominator(std::size_t index) const;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  const std::vector<std::uint16_t>& Shorts() const { return shorts_; }
  const std::vector<std::uint32_t>& Longs() const { return longs_; }
  const std::vector<std::uint32_t>& Denominators() const { return denominators_; }

 private:
  std::uint16_t tag_;
  std::uint16_t type_;
  std::uint32_t count_ = 0;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint16_t> shorts_;
  std::vector<std::uint32_t> longs_;
  std::vector<std::uint32_t> denominators_;
};
