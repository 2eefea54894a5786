#include "files/TifTag.h"

#include <utility>

#include "common/Assert.h"

std::uint32_t TifTag::TypeSize(std::uint16_t type) {
  switch (type) {
    case typeByte:
    case typeAscii:
      return 1;
    case typeShort:
      return 2;
    case typeLong:
      return 4;
    case typeRational:
      return 8;
    default:
      return 0;
  }
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, const std::string& text)
    : tag_(tag), type_(type) {
  const std::uint16_t wType = type;
  KORVANA_ASSERT(wType == typeByte || wType == typeAscii);
  bytes_.assign(text.begin(), text.end());
  bytes_.push_back(0);
  count_ = static_cast<std::uint32_t>(bytes_.size());
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint8_t> bytes)
    : tag_(tag), type_(type), bytes_(std::move(bytes)) {
  const std::uint16_t wType = type;
  KORVANA_ASSERT(wType == typeByte || wType == typeAscii);
  count_ = static_cast<std::uint32_t>(bytes_.size());
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint16_t> shorts)
    : tag_(tag), type_(type), shorts_(std::move(shorts)) {
  const std::uint16_t wType = type;
  KORVANA_ASSERT(wType == typeShort);
  count_ = static_cast<std::uint32_t>(shorts_.size());
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> longs)
    : tag_(tag), type_(type), longs_(std::move(longs)) {
  const std::uint16_t wType = type;
  KORVANA_ASSERT(wType == typeLong);
  count_ = static_cast<std::uint32_t>(longs_.size());
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> numerators,
               std::vector<std::uint32_t> denominators)
    : tag_(tag),
      type_(type),
      longs_(std::move(numerators)),
      denominators_(std::move(denominators)) {
  const std::uint16_t wType = type;
  KORVANA_ASSERT(wType == typeRational);
  KORVANA_ASSERT(longs_.size() == denominators_.size());
  count_ = static_cast<std::uint32_t>(longs_.size());
}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::uint16_t value)
    : TifTag(tag, type, std::vector<std::uint16_t>{value}) {}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::uint32_t value)
    : TifTag(tag, type, std::vector<std::uint32_t>{value}) {}

TifTag::TifTag(std::uint16_t tag, std::uint16_t type, std::uint32_t numerator,
               std::uint32_t denominator)
    : TifTag(tag, type, std::vector<std::uint32_t>{numerator},
             std::vector<std::uint32_t>{denominator}) {}

std::uint32_t TifTag::GetLong(std::size_t index) const {
  if (!longs_.empty()) return index < longs_.size() ? longs_[index] : 0;
  if (!shorts_.empty()) return index < shorts_.size() ? shorts_[index] : 0;
  if (!bytes_.empty()) return index < bytes_.size() ? bytes_[index] : 0;
  return 0;
}

std::uint16_t TifTag::GetShort(std::size_t index) const {
  if (!shorts_.empty()) return index < shorts_.size() ? shorts_[index] : 0;
  if (!bytes_.empty()) return index < bytes_.size() ? bytes_[index] : 0;
  return 0;
}

std::uint8_t TifTag::GetByte(std::size_t index) const {
  return index < bytes_.size() ? bytes_[index] : 0;
}

std::uint32_t TifTag::GetDenominator(std::size_t index) const {
  return index < denominators_.size() ? denominators_[index] : 0;
}
