#pragma once

#include <cstdint>
#include <memory>

#include "values/unitFactor.h"

// One side of a palette item: the values that hold at the item, seen from the stretch before it
// (before side) or after it (after side).
struct TColorPalette1DSide {
  std::uint32_t Color = 0;
  unitFactorPosMax1 TransFactor{1.0, EUnitKind::EHPerc};
  unitFactor SuperFactor{1.0};
  std::uint32_t SuperAnchorColor = 0;
};

// One node of a palette's sorted chain. An item owns the rest of the chain after it; the palette
// owns the first item. Colours are colour words (red in the low byte); positions and transparency
// factors carry the percent unit when created here, super factors no unit.
class TColorPalette1DItem {
 public:
  // A new item: ColorBefore and TransFactorBefore from the arguments, no after side, super
  // factors 1.0 and black anchors on both sides.
  TColorPalette1DItem(double position, std::uint32_t colorBefore, double transFactorBefore = 1.0);
  // Destroys the rest of the chain as well (iteratively, so long chains cannot exhaust the stack).
  virtual ~TColorPalette1DItem();
  TColorPalette1DItem(const TColorPalette1DItem&) = delete;
  TColorPalette1DItem& operator=(const TColorPalette1DItem&) = delete;

  // A copy of this item and every item after it (every field of every item).
  std::unique_ptr<TColorPalette1DItem> CloneChain() const;

  // Lookups along the chain starting here, without wrapping or clamping at the far end: a position
  // below this item's counts as this item's, one beyond the last item gives the last stretch's end.
  // Calling them on the last item is an internal error; they then give the item's own before side.
  virtual std::uint32_t GetColor(double position) const;
  double GetTransFactor(double position) const;
  // The super colour per channel as doubles (not clamped; may leave 0..255).
  void GetSuperColor(double position, double& red, double& green, double& blue) const;

  // The next item, or nullptr for the last item.
  TColorPalette1DItem* GetNext() const { return NextColorPalette1DItem.get(); }
  // The last item of the chain, following it from this item.
  TColorPalette1DItem* GetLast();
  const TColorPalette1DItem* GetLast() const;

  bool GetUseColorAfter() const { return UseColorAfter; }
  void SetUseColorAfter(bool use) { UseColorAfter = use; }

  double GetDPosition() const { return Position.GetValue(); }
  const unitFactorPosMoreLess1& GetPosition() const { return Position; }
  // Changing the position of an item in a chain requires TColorPalette1D::MoveItem afterwards.
  void SetPosition(const unitFactorPosMoreLess1& position) { Position = position; }

  // Before side.
  std::uint32_t GetColorBefore() const { return Before.Color; }
  void SetColorBefore(std::uint32_t color) { Before.Color = color; }
  const unitFactorPosMax1& GetTransFactorBefore() const { return Before.TransFactor; }
  void SetTransFactorBefore(const unitFactorPosMax1& factor) { Before.TransFactor = factor; }
  const unitFactor& GetSuperFactorBefore() const { return Before.SuperFactor; }
  void SetSuperFactorBefore(const unitFactor& factor) { Before.SuperFactor = factor; }
  std::uint32_t GetSuperAnchorColorBefore() const { return Before.SuperAnchorColor; }
  void SetSuperAnchorColorBefore(std::uint32_t color) { Before.SuperAnchorColor = color; }
  const TColorPalette1DSide& GetBeforeSide() const { return Before; }
  void SetBeforeSide(const TColorPalette1DSide& side) { Before = side; }

  // After side as used by the lookups: the after fields when UseColorAfter is set, else the
  // before fields.
  std::uint32_t GetColorAfter() const { return UseColorAfter ? After.Color : Before.Color; }
  const unitFactorPosMax1& GetTransFactorAfter() const {
    return UseColorAfter ? After.TransFactor : Before.TransFactor;
  }
  const unitFactor& GetSuperFactorAfter() const {
    return UseColorAfter ? After.SuperFactor : Before.SuperFactor;
  }
  std::uint32_t GetSuperAnchorColorAfter() const {
    return UseColorAfter ? After.SuperAnchorColor : Before.SuperAnchorColor;
  }

  // The after fields as stored; they keep their values while UseColorAfter is off.
  const TColorPalette1DSide& GetStoredAfterSide() const { return After; }
  // Restores stored after fields (readers, editor copies); no UseColorAfter requirement.
  void SetStoredAfterSide(const TColorPalette1DSide& side) { After = side; }

  // Setting the after colours requires UseColorAfter (internal error otherwise; the value is
  // stored all the same). The after factors may be set at any time.
  void SetColorAfter(std::uint32_t color);
  void SetSuperAnchorColorAfter(std::uint32_t color);
  void SetTransFactorAfter(const unitFactorPosMax1& factor) { After.TransFactor = factor; }
  void SetSuperFactorAfter(const unitFactor& factor) { After.SuperFactor = factor; }

 private:
  friend class TColorPalette1D;

  // The item whose stretch holds position, walking from this item; t is the interpolation factor
  // in that stretch (0 at the item, 1 at its next item). Returns nullptr when this is the last item.
  const TColorPalette1DItem* FindStretch(double position, double& t) const;
  // False, after reporting the internal error, when this is the last item.
  bool CheckHasNext() const;
  // The values in the stretch from this item to its next item at interpolation factor t.
  std::uint32_t ColorInStretch(double t) const;
  double TransFactorInStretch(double t) const;
  void SuperColorInStretch(double t, double& red, double& green, double& blue) const;
  // The super colour of the item's own before side (the fallback for the last item).
  void OwnSuperColor(double& red, double& green, double& blue) const;

  bool UseColorAfter = false;
  unitFactorPosMoreLess1 Position;
  std::unique_ptr<TColorPalette1DItem> NextColorPalette1DItem;
  TColorPalette1DSide Before;
  TColorPalette1DSide After;
};
