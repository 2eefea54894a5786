#pragma once

#include <cstdio>

#include "cli/RenderOptions.h"

// Renders the document (or the default new fractal) of options to its output picture: loads it
// with its pictures, computes it on the engine, paints it and writes the picture (and the
// document when asked). Messages go to err; the progress bar too, when showProgress.
// Returns the exit status: 0 success, 1 failure (also when a picture of the document could not
// be loaded: the picture is then written without it, as the desktop program would show it).
int RunRender(const RenderOptions& options, std::FILE* err, bool showProgress);
