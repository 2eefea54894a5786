#pragma once

#include <string>

#include "values/unitColor.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

class BitmapFileProps;
class TXMLComplexElement;
class TXMLItem;

// How picture pixels are picked at a plane point: the one pixel, or bilinear between four.
enum class EBmpPixelSel { BmpPixelSelHard = 0, BmpPixelSelSmooth = 1 };

// One use of a named picture: the plane rectangle it is mapped onto, its transparency and the
// iteration depths at which it is painted. A plain value type; copies refer to the same resolved
// picture entry.
class BitmapUseProps {
 public:
  // All the fields of the table, in order; the resolved picture is not compared.
  bool operator==(const BitmapUseProps& other) const;

  // Appends a BitmapUseProps element.
  void WriteXML(TXMLComplexElement& parent) const;
  // Reads a BitmapUseProps element that the grammar has validated, starting from the defaults.
  // On a value the value library refuses (or a structure the grammar should have refused)
  // returns false with the message and the element's line and column; the fields read so far
  // keep their values.
  bool ReadXML(const TXMLItem& element, std::string& message, int& line, int& column);

  // The picture entry whose Name equals BitmapName when BitmapsProps::ResolveUses last ran, or
  // nullptr. Not owned; valid while that entry stays in its list.
  const BitmapFileProps* GetResolved() const { return resolved_; }
  void SetResolved(const BitmapFileProps* file) { resolved_ = file; }

  std::string BitmapName;
  unitFactor Left{-1.0};
  unitFactor Right{1.0};
  unitFactor Top{1.0};
  unitFactor Bottom{-1.0};
  bool BmpReciproke = false;
  bool BmpTransOptColor = false;
  unitColor BmpTransColor{0};
  // Colour distances (sum of channel differences / 256) with full and without transparency.
  unitFactorPos BmpTransColorWidthMaxTrans{0.0, EUnitKind::EHPerc};
  unitFactorPos BmpTransColorWidthNoTrans{0.5, EUnitKind::EHPerc};
  unitFactorPosMax1 BasicTransFactor{1.0, EUnitKind::EHPerc};
  EBmpPixelSel BmpPixelSel = EBmpPixelSel::BmpPixelSelSmooth;
  unitIntegerPosMore DepthModulo{1};
  unitIntegerPosMore DepthMin{1};
  // 0 = no maximum.
  unitIntegerPos DepthMax{0};

 private:
  const BitmapFileProps* resolved_ = nullptr;
};
