#pragma once

#include "bitmaps/BitmapsProps.h"
#include "fractal/TFractProps.h"
#include "view/TFractViewProps.h"

// What a fractal document holds and stores: its view properties, bitmap properties and fractal
// parameters. The result of a computation is never stored; it is recomputed after loading.
struct TFractalContent {
  TFractViewProps View;
  BitmapsProps Bitmaps;
  TFractProps Fractal;
};
