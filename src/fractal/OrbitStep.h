#pragma once

#include "fractal/TComplex.h"
#include "fractal/TKernelParams.h"

// One iteration step w = f(z) of the formula of params (with its exponents N and M), taking c and
// d as given, computed by the iteration kernel itself so that it is exactly the kernel's step.
// No escape test is made. Returns false, with w set to NaN, when z is not finite or the step has
// no finite result.
bool OrbitStep(const TKernelParams& params, TComplex z, TComplex c, TComplex d, TComplex& w);
