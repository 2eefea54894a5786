#include "palette/TColorPalette1DItem.h"

#include <cstddef>

#include "common/Assert.h"
#include "palette/PaletteChannels.h"
#include "palette/PaletteCheck.h"

using PaletteChannels::Channel;
using PaletteChannels::SuperChannel;
using PaletteChannels::TruncChannel;

TColorPalette1DItem::TColorPalette1DItem(double position, std::uint32_t colorBefore,
                                         double transFactorBefore)
    : Position(position, EUnitKind::EHPerc) {
  Before.Color = colorBefore;
  Before.TransFactor = unitFactorPosMax1(transFactorBefore, EUnitKind::EHPerc);
}

TColorPalette1DItem::~TColorPalette1DItem() {
  // Unlink one item at a time so that each destructor sees an empty rest of the chain.
  std::unique_ptr<TColorPalette1DItem> rest = std::move(NextColorPalette1DItem);
  while (rest) rest = std::move(rest->NextColorPalette1DItem);
}

std::unique_ptr<TColorPalette1DItem> TColorPalette1DItem::CloneChain() const {
  std::unique_ptr<TColorPalette1DItem> head;
  std::unique_ptr<TColorPalette1DItem>* tail = &head;
  for (const TColorPalette1DItem* item = this; item; item = item->GetNext()) {
    auto copy = std::make_unique<TColorPalette1DItem>(0.0, 0);
    copy->UseColorAfter = item->UseColorAfter;
    copy->Position = item->Position;
    copy->Before = item->Before;
    copy->After = item->After;
    *tail = std::move(copy);
    tail = &(*tail)->NextColorPalette1DItem;
  }
  return head;
}

TColorPalette1DItem* TColorPalette1DItem::GetLast() {
  TColorPalette1DItem* item = this;
  while (item->GetNext()) item = item->GetNext();
  return item;
}

const TColorPalette1DItem* TColorPalette1DItem::GetLast() const {
  return const_cast<TColorPalette1DItem*>(this)->GetLast();
}

bool TColorPalette1DItem::CheckHasNext() const {
  return KORVANA_CHECK(NextColorPalette1DItem != NULL, kPaletteUnit);
}

const TColorPalette1DItem* TColorPalette1DItem::FindStretch(double position, double& t) const {
  // Positions below the item count as the item's own (a NaN too).
  if (!(position >= GetDPosition())) position = GetDPosition();
  const TColorPalette1DItem* previous = nullptr;
  const TColorPalette1DItem* item = this;
  for (;;) {
    if (!item->CheckHasNext()) {
      t = 1.0;  // beyond the last item: the end of the last stretch, if there is one
      return previous;
    }
    const TColorPalette1DItem* next = item->GetNext();
    if (position > next->GetDPosition()) {
      previous = item;
      item = next;
      continue;
    }
    // Here item <= position <= next. Two items at the same position give a zero-length stretch:
    // the later item's values hold there instead of a division by zero.
    const double span = next->GetDPosition() - item->GetDPosition();
    t = span > 0 ? (position - item->GetDPosition()) / span : 1.0;
    return item;
  }
}

std::uint32_t TColorPalette1DItem::ColorInStretch(double t) const {
  const std::uint32_t a = GetColorAfter();
  const std::uint32_t b = GetNext()->GetColorBefore();
  std::uint32_t color = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double mixed = (1 - t) * Channel(a, shift) + t * Channel(b, shift);
    color |= TruncChannel(mixed) << shift;
  }
  return color;
}

double TColorPalette1DItem::TransFactorInStretch(double t) const {
  const double ta = GetTransFactorAfter().GetValue();
  const double tb = GetNext()->GetTransFactorBefore().GetValue();
  return ta + t * (tb - ta);
}

void TColorPalette1DItem::SuperColorInStretch(double t, double& red, double& green,
                                              double& blue) const {
  const TColorPalette1DItem* next = GetNext();
  double* channels[3] = {&red, &green, &blue};
  for (int c = 0; c < 3; ++c) {
    const int shift = 8 * c;
    const double sn = SuperChannel(next->Before.Color, next->Before.SuperAnchorColor,
                                   next->Before.SuperFactor.GetValue(), shift);
    const double si = SuperChannel(GetColorAfter(), GetSuperAnchorColorAfter(),
                                   GetSuperFactorAfter().GetValue(), shift);
    *channels[c] = t * sn + (1 - t) * si;
  }
}

void TColorPalette1DItem::OwnSuperColor(double& red, double& green, double& blue) const {
  const double factor = Before.SuperFactor.GetValue();
  red = SuperChannel(Before.Color, Before.SuperAnchorColor, factor, 0);
  green = SuperChannel(Before.Color, Before.SuperAnchorColor, factor, 8);
  blue = SuperChannel(Before.Color, Before.SuperAnchorColor, factor, 16);
}

std::uint32_t TColorPalette1DItem::GetColor(double position) const {
  double t = 0;
  const TColorPalette1DItem* item = FindStretch(position, t);
  return item ? item->ColorInStretch(t) : Before.Color;
}

double TColorPalette1DItem::GetTransFactor(double position) const {
  double t = 0;
  const TColorPalette1DItem* item = FindStretch(position, t);
  return item ? item->TransFactorInStretch(t) : Before.TransFactor.GetValue();
}

void TColorPalette1DItem::GetSuperColor(double position, double& red, double& green,
                                        double& blue) const {
  double t = 0;
  const TColorPalette1DItem* item = FindStretch(position, t);
  if (item) {
    item->SuperColorInStretch(t, red, green, blue);
  } else {
    OwnSuperColor(red, green, blue);
  }
}

void TColorPalette1DItem::SetColorAfter(std::uint32_t color) {
  KORVANA_CHECK(UseColorAfter, kPaletteUnit);
  After.Color = color;
}

void TColorPalette1DItem::SetSuperAnchorColorAfter(std::uint32_t color) {
  KORVANA_CHECK(UseColorAfter, kPaletteUnit);
  After.SuperAnchorColor = color;
}
