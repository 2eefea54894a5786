#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "palette/TColorPalette1DItem.h"

// A one-dimensional colour palette: a chain of items sorted by position from 0 to 1, with the
// colour and the transparency factor interpolated linearly between neighbouring items. The first
// item (position 0) and the last item (position 1) exist from construction on and are never
// removed; only their before sides are used. The palette owns its chain.
//
// Internal errors (broken chain invariants) are reported through the non-fatal check with the unit
// "Grafisch/DlgColorPalette1D"; the operation then does the nearest sound thing and goes on.
class TColorPalette1D {
 public:
  // Two items: begin colour at 0 and end colour at 1, super factors 1.0, black anchors;
  // SuperColorsEnabled is false.
  TColorPalette1D(bool cyclic, std::uint32_t beginColor, double beginTransFactor,
                  std::uint32_t endColor, double endTransFactor);
  // The same with the super values given; SuperColorsEnabled is true.
  TColorPalette1D(bool cyclic, std::uint32_t beginColor, double beginTransFactor,
                  double beginSuperFactor, std::uint32_t beginAnchorColor, std::uint32_t endColor,
                  double endTransFactor, double endSuperFactor, std::uint32_t endAnchorColor);
  virtual ~TColorPalette1D();

  // Deep copies: the flags and the whole chain, item by item.
  TColorPalette1D(const TColorPalette1D& other);
  TColorPalette1D& operator=(const TColorPalette1D& other);

  // Equal when the Cyclic flags match and both hold the very same chain (identity, not content):
  // separately made or copied palettes are never equal.
  bool operator==(const TColorPalette1D& other) const;

  virtual bool GetSuperColorsEnabled() const { return SuperColorsEnabled; }
  bool GetCyclic() const { return Cyclic; }
  void SetCyclic(bool cyclic) { Cyclic = cyclic; }

  TColorPalette1DItem* GetFirst() { return FirstColorPalette1DItem.get(); }
  const TColorPalette1DItem* GetFirst() const { return FirstColorPalette1DItem.get(); }
  TColorPalette1DItem* GetLast() { return FirstColorPalette1DItem->GetLast(); }
  const TColorPalette1DItem* GetLast() const { return FirstColorPalette1DItem->GetLast(); }

  // Lookups at a position that is first wrapped into 0..1 (Cyclic: position - floor(position))
  // or clamped to 0..1; a NaN or infinite input becomes 0 where it cannot be clamped.
  std::uint32_t GetColor(double position) const;
  double GetTransFactor(double position) const;
  void GetSuperColor(double position, double& red, double& green, double& blue) const;
  double NormalisePosition(double position) const;

  // GetColor (as three channel values) or, with super, GetSuperColor, together with
  // GetTransFactor at one position, walking the chain once: the same values as the single
  // lookups. Used for every sample when painting.
  struct TSample {
    double red = 0;
    double green = 0;
    double blue = 0;
    double transFactor = 0;
  };
  TSample GetSample(double position, bool super) const;

  // The item whose next is item; nullptr for the first item. An item that is not in the chain is
  // an internal error (result nullptr).
  TColorPalette1DItem* GetPrevious(const TColorPalette1DItem* item) const;
  // True when an item other than `item` has exactly this position.
  bool PositionExists(double position, const TColorPalette1DItem* item) const;
  // Inserts a new item in sorted order (after items of equal position) and returns it. The
  // position must lie above the first item's (internal error otherwise; then nothing is added
  // and the result is nullptr).
  TColorPalette1DItem* AddItem(double position, std::uint32_t colorBefore,
                               double transFactorBefore);

  // What RemoveItem hands back: the unlinked item (owned by the caller now) and its previous item.
  struct TRemoved {
    std::unique_ptr<TColorPalette1DItem> item;
    TColorPalette1DItem* previous = nullptr;
  };
  // Unlinks an inner item (0 < position < 1). Internal error, and nothing unlinked, for the first
  // or last item or an item that is not in the chain.
  TRemoved RemoveItem(TColorPalette1DItem* item);
  // After item's position changed: unlinks it and inserts it again in sorted order.
  void MoveItem(TColorPalette1DItem* item);

  // Replaces every item after the first with items, linked in the given order (used by the
  // readers, which append the last item at position 1); the first item keeps its fields.
  // items must not be empty.
  void ReplaceItemsAfterFirst(std::vector<std::unique_ptr<TColorPalette1DItem>> items);

  // The colours of the preview strip painted into the rectangle left..right: a 1-pixel frame,
  // then one colour per column left + 1 .. right - 2, column i showing the first item's colour at
  // (i - (left + 1)) / ((right - 1) - (left + 1)). Empty when the rectangle has no inner column.
  std::vector<std::uint32_t> GetPreviewColumns(int left, int right) const;

 private:
  // Links item into the chain after `start`, after every item of lower or equal position.
  void InsertSorted(TColorPalette1DItem* start, std::unique_ptr<TColorPalette1DItem> item);

  bool SuperColorsEnabled;
  bool Cyclic;
  std::unique_ptr<TColorPalette1DItem> FirstColorPalette1DItem;
};
