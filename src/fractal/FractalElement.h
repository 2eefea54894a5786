#pragma once

#include <memory>
#include <string>

#include "files/DTDBuilders.h"

class TFractProps;
class TXMLComplexElement;
class TXMLItem;

// The `Fractal` element of fractal documents: the parameters of one fractal.

// Appends the `Fractal` element (version "2.1" form) to parent.
void WriteFractal(const TFractProps& props, TXMLComplexElement& parent);

// Fills props from the `Fractal` element of a document of the given version. Fields are assigned
// as they are read; ColorsDiscontinue, which files do not store, becomes false, and versions
// "1.0" and "2.0" leave CycleSelection as it was. On failure returns false with the message and the
// line and column of the element at which reading stopped.
bool ReadFractal(TFractProps& props, const TXMLItem& element, const std::string& version,
                 std::string& message, int& line, int& column);

// The grammars of the `Fractal` element: version "2.1", and versions "1.0" and "2.0" (built once).
DTDPtr FractalGrammar21();
DTDPtr FractalGrammar20();
