#include "fractal/TKernelParams.h"

#include <cstdlib>
#include <cstring>

#include "fractal/TFractProps.h"

namespace {

// The widest vector path the environment allows: KORVANA_KERNEL=avx2 or =scalar makes this
// process behave as on a processor without AVX-512 (or without AVX2 as well), so that every
// path can be timed and checked on one machine. Unset or any other value: no limit.
KernelPath PathLimit() {
  static const KernelPath limit = [] {
    const char* value = std::getenv("KORVANA_KERNEL");
    if (value == nullptr) return KernelPath::AVX512;
    if (std::strcmp(value, "scalar") == 0) return KernelPath::Scalar;
    if (std::strcmp(value, "avx2") == 0) return KernelPath::AVX2;
    return KernelPath::AVX512;
  }();
  return limit;
}

}  // namespace

const char* KernelPathName(KernelPath path) {
  switch (path) {
    case KernelPath::Auto: return "Auto";
    case KernelPath::Scalar: return "Scalar";
    case KernelPath::AVX2: return "AVX2";
    case KernelPath::AVX512: return "AVX-512";
  }
  return "";
}

bool CpuSupportsPath(KernelPath path) {
  switch (path) {
#if defined(__x86_64__) || defined(__i386__)
    case KernelPath::AVX2:
      return PathLimit() != KernelPath::Scalar && __builtin_cpu_supports("avx2") &&
             __builtin_cpu_supports("fma");
    case KernelPath::AVX512:
      return PathLimit() == KernelPath::AVX512 && __builtin_cpu_supports("avx512f");
#else
    // The vector kernels exist only for x86; elsewhere the scalar kernel computes everything.
    case KernelPath::AVX2:
    case KernelPath::AVX512: return false;
#endif
    default: return true;
  }
}

TKernelParams TKernelParams::FromProps(const TFractProps& props, KernelPath path) {
  TKernelParams p;
  p.left = props.Left.GetValue();
  p.right = props.Right.GetValue();
  p.top = props.Top.GetValue();
  p.bottom = props.Bottom.GetValue();
  p.xResolution = props.XResolution.GetValue();
  p.yResolution = props.YResolution.GetValue();
  p.maxDepth = props.MaxDepth.GetValue();
  p.smooth = !props.ColorsDiscontinue;
  p.outerCircle = props.OuterCircle.GetValue();
  p.innerDist = props.InnerDist.GetValue();
  p.cycleSelection = props.CycleSelection;
  p.maxCycle = props.MaxCycle.GetValue();
  p.formula = props.Formula;
  p.mapVar = props.MapVar;
  p.cr = props.CR.GetValue();
  p.ci = props.CI.GetValue();
  p.dr = props.DR.GetValue();
  p.di = props.DI.GetValue();
  p.n = props.N.GetValue();
  p.m = props.M.GetValue();
  p.path = path;
  return p;
}
