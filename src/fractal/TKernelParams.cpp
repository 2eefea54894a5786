#include "fractal/TKernelParams.h"

#include "fractal/TFractProps.h"

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
    case KernelPath::AVX2: return __builtin_cpu_supports("avx2");
    case KernelPath::AVX512: return __builtin_cpu_supports("avx512f");
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
