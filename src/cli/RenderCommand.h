#pragma once

#include <cstdio>

#include "cli/RenderOptions.h"

// Renders the document (or the default new fractal) of options to its output picture: loads it
// with its pictures, computes it on the engine, paints it and writes the picture (and the
// document when asked). Messages go to err; the progress bar too, when showProgress.
// Returns the exit status: 0 success, 1 failure.
int RunRender(const RenderOptions& options, std::FILE* err, bool showProgress);
