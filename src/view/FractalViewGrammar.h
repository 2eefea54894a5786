#pragma once

#include "files/DTDBuilders.h"

// The grammars of the FractalView element of fractal documents, built once on first use and
// shared by all documents and threads.

// Version "2.1" and every later version: custom sensitivity, AdaptStrength, transparency of the
// maximum depth colour, background colour, ValuesPerPixel, UpdateResolution; current palettes.
const DTDPtr& FractalView21Grammar();
// Versions "1.0" and "2.0": four sensitivities, older palettes.
const DTDPtr& FractalView20Grammar();
