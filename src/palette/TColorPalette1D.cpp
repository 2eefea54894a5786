#include "palette/TColorPalette1D.h"

#include <cmath>
#include <cstddef>

#include "common/Assert.h"
#include "palette/PaletteCheck.h"

TColorPalette1D::TColorPalette1D(bool cyclic, std::uint32_t beginColor, double beginTransFactor,
                                 std::uint32_t endColor, double endTransFactor)
    : SuperColorsEnabled(false),
      Cyclic(cyclic),
      FirstColorPalette1DItem(
          std::make_unique<TColorPalette1DItem>(0.0, beginColor, beginTransFactor)) {
  FirstColorPalette1DItem->NextColorPalette1DItem =
      std::make_unique<TColorPalette1DItem>(1.0, endColor, endTransFactor);
}

TColorPalette1D::TColorPalette1D(bool cyclic, std::uint32_t beginColor, double beginTransFactor,
                                 double beginSuperFactor, std::uint32_t beginAnchorColor,
                                 std::uint32_t endColor, double endTransFactor,
                                 double endSuperFactor, std::uint32_t endAnchorColor)
    : TColorPalette1D(cyclic, beginColor, beginTransFactor, endColor, endTransFactor) {
  SuperColorsEnabled = true;
  TColorPalette1DItem* first = GetFirst();
  first->SetSuperFactorBefore(unitFactor(beginSuperFactor));
  first->SetSuperAnchorColorBefore(beginAnchorColor);
  TColorPalette1DItem* last = first->GetNext();
  last->SetSuperFactorBefore(unitFactor(endSuperFactor));
  last->SetSuperAnchorColorBefore(endAnchorColor);
}

TColorPalette1D::~TColorPalette1D() = default;

TColorPalette1D::TColorPalette1D(const TColorPalette1D& other)
    : SuperColorsEnabled(other.SuperColorsEnabled),
      Cyclic(other.Cyclic),
      FirstColorPalette1DItem(other.FirstColorPalette1DItem->CloneChain()) {}

TColorPalette1D& TColorPalette1D::operator=(const TColorPalette1D& other) {
  if (this != &other) {
    SuperColorsEnabled = other.SuperColorsEnabled;
    Cyclic = other.Cyclic;
    FirstColorPalette1DItem = other.FirstColorPalette1DItem->CloneChain();
  }
  return *this;
}

bool TColorPalette1D::operator==(const TColorPalette1D& other) const {
  return Cyclic == other.Cyclic && FirstColorPalette1DItem == other.FirstColorPalette1DItem;
}

double TColorPalette1D::NormalisePosition(double position) const {
  if (Cyclic) {
    position -= std::floor(position);
    // Infinite or NaN input leaves a NaN here.
    return position >= 0 && position <= 1 ? position : 0.0;
  }
  if (!(position >= 0)) return 0.0;
  return position > 1 ? 1.0 : position;
}

std::uint32_t TColorPalette1D::GetColor(double position) const {
  return FirstColorPalette1DItem->GetColor(NormalisePosition(position));
}

double TColorPalette1D::GetTransFactor(double position) const {
  return FirstColorPalette1DItem->GetTransFactor(NormalisePosition(position));
}

void TColorPalette1D::GetSuperColor(double position, double& red, double& green,
                                    double& blue) const {
  FirstColorPalette1DItem->GetSuperColor(NormalisePosition(position), red, green, blue);
}

TColorPalette1D::TSample TColorPalette1D::GetSample(double position, bool super) const {
  TSample sample;
  double t = 0;
  const TColorPalette1DItem* first = GetFirst();
  const TColorPalette1DItem* item = first->FindStretch(NormalisePosition(position), t);
  std::uint32_t color = 0;
  if (item == nullptr) {  // no second item (already reported): the first item's own values
    sample.transFactor = first->GetTransFactorBefore().GetValue();
    if (super) first->OwnSuperColor(sample.red, sample.green, sample.blue);
    color = first->GetColorBefore();
  } else {
    sample.transFactor = item->TransFactorInStretch(t);
    if (super) item->SuperColorInStretch(t, sample.red, sample.green, sample.blue);
    if (!super) color = item->ColorInStretch(t);
  }
  if (!super) {
    sample.red = color & 0xFFu;
    sample.green = (color >> 8) & 0xFFu;
    sample.blue = (color >> 16) & 0xFFu;
  }
  return sample;
}

TColorPalette1DItem* TColorPalette1D::GetPrevious(const TColorPalette1DItem* item) const {
  if (item == FirstColorPalette1DItem.get()) return nullptr;
  TColorPalette1DItem* NextColorPalette1DItem = FirstColorPalette1DItem.get();
  while (NextColorPalette1DItem && NextColorPalette1DItem->GetNext() != item) {
    NextColorPalette1DItem = NextColorPalette1DItem->GetNext();
  }
  // Running off the end means that item is not in the chain.
  KORVANA_CHECK(NextColorPalette1DItem != NULL, kPaletteUnit);
  return NextColorPalette1DItem;
}

bool TColorPalette1D::PositionExists(double position, const TColorPalette1DItem* item) const {
  for (const TColorPalette1DItem* other = GetFirst(); other; other = other->GetNext()) {
    if (other != item && other->GetDPosition() == position) return true;
  }
  return false;
}

TColorPalette1DItem* TColorPalette1D::AddItem(double position, std::uint32_t colorBefore,
                                              double transFactorBefore) {
  const double Position = GetFirst()->GetDPosition();
  if (!KORVANA_CHECK(position > Position, kPaletteUnit)) return nullptr;
  auto item = std::make_unique<TColorPalette1DItem>(position, colorBefore, transFactorBefore);
  TColorPalette1DItem* added = item.get();
  InsertSorted(GetFirst(), std::move(item));
  return added;
}

void TColorPalette1D::InsertSorted(TColorPalette1DItem* start,
                                   std::unique_ptr<TColorPalette1DItem> item) {
  const double position = item->GetDPosition();
  const double Position = start->GetDPosition();
  KORVANA_CHECK(position >= Position, kPaletteUnit);
  // Never past the last item: the item at position 1 stays the last one.
  TColorPalette1DItem* at = start;
  while (at->GetNext() && at->GetNext()->GetNext() && position >= at->GetNext()->GetDPosition()) {
    at = at->GetNext();
  }
  item->NextColorPalette1DItem = std::move(at->NextColorPalette1DItem);
  at->NextColorPalette1DItem = std::move(item);
}

TColorPalette1D::TRemoved TColorPalette1D::RemoveItem(TColorPalette1DItem* toRemove) {
  TRemoved removed;
  if (!KORVANA_CHECK(toRemove->GetDPosition() > 0 && toRemove->GetDPosition() < 1,
                     kPaletteUnit)) {
    return removed;
  }
  TColorPalette1DItem* prevItem = GetPrevious(toRemove);
  if (!KORVANA_CHECK(prevItem, kPaletteUnit)) return removed;
  const TColorPalette1DItem* nextItem = toRemove->GetNext();
  if (!KORVANA_CHECK(nextItem, kPaletteUnit)) return removed;
  removed.previous = prevItem;
  removed.item = std::move(prevItem->NextColorPalette1DItem);
  prevItem->NextColorPalette1DItem = std::move(removed.item->NextColorPalette1DItem);
  return removed;
}

void TColorPalette1D::MoveItem(TColorPalette1DItem* item) {
  TRemoved removed = RemoveItem(item);
  if (removed.item) InsertSorted(GetFirst(), std::move(removed.item));
}

void TColorPalette1D::ReplaceItemsAfterFirst(
    std::vector<std::unique_ptr<TColorPalette1DItem>> items) {
  KORVANA_ASSERT(!items.empty());
  // Link from the back so that each item takes over the rest of the chain.
  std::unique_ptr<TColorPalette1DItem> chain;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    (*it)->NextColorPalette1DItem = std::move(chain);
    chain = std::move(*it);
  }
  FirstColorPalette1DItem->NextColorPalette1DItem = std::move(chain);
}

std::vector<std::uint32_t> TColorPalette1D::GetPreviewColumns(int left, int right) const {
  const long long columns = static_cast<long long>(right) - left - 2;
  std::vector<std::uint32_t> colors;
  if (columns <= 0) return colors;
  colors.reserve(static_cast<std::size_t>(columns));
  for (long long k = 0; k < columns; ++k) {
    colors.push_back(GetFirst()->GetColor(static_cast<double>(k) / static_cast<double>(columns)));
  }
  return colors;
}
