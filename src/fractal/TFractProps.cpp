#include "fractal/TFractProps.h"

#include "fractal/TKernelParams.h"

bool operator==(const TFractProps& a, const TFractProps& b) {
  return a.YResolution == b.YResolution && a.XResolution == b.XResolution && a.Left == b.Left &&
         a.Right == b.Right && a.Top == b.Top && a.Bottom == b.Bottom &&
         a.MaxDepth == b.MaxDepth && a.OuterCircle == b.OuterCircle &&
         a.InnerDist == b.InnerDist && a.MaxCycle == b.MaxCycle &&
         a.CycleSelection == b.CycleSelection && a.CR == b.CR && a.CI == b.CI && a.DR == b.DR &&
         a.DI == b.DI && a.N == b.N && a.M == b.M && a.ColorsDiscontinue == b.ColorsDiscontinue &&
         a.MapVar == b.MapVar && a.Formula == b.Formula;
}

double TFractProps::SampleX(std::int32_t i) const {
  return PlanePosition(Left.GetValue(), Right.GetValue(), i, XResolution.GetValue());
}

double TFractProps::SampleY(std::int32_t j) const {
  return PlanePosition(Top.GetValue(), Bottom.GetValue(), j, YResolution.GetValue());
}
