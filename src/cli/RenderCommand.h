#pragma once

#include <cstdio>

#include "cli/RenderOptions.h"

// Renders the document (or the default new fractal) of options to its output picture: checks
// the output names and the picture size, loads the document with its pictures, computes it on
// the engine, paints it and writes the picture (and the document when asked). Everything that
// can be checked is checked before computing; a failure at any step writes nothing further, so
// an existing output is untouched when the run fails before writing. Messages go to err, each
// naming its file; the progress bar too, when showProgress.
// Returns the exit status: 0 success, 1 failure.
int RunRender(const RenderOptions& options, std::FILE* err, bool showProgress);
