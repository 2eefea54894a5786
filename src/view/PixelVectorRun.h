#pragma once

// The vector painter's run, generic over an instruction set description Isa:
//   D, kWidth               vector of kWidth doubles
//   M                       a mask of lanes; Bits(m) its lanes as bits
//   I32, I64                one 32-bit or 64-bit integer per lane
//   Set, Zero, LoadFloats   broadcast, zeros, kWidth floats as doubles
//   LoadInts, StoreWords    kWidth 32-bit integers from and to memory
//   Add, Sub, Mul, Div, Min, Max, Sqrt, Floor   per lane, as the scalar operations
//   Gt, Lt, Ge, Le          ordered comparisons (false for NaN); And of two masks
//   Keep(x, m)              x in the lanes of m, 0 in the others
//   Select(m, a, b)         b in the lanes of m, a in the others
//   CycleIndex(cycle, last) min(max(cycle, 1), last) - 1, times 8
//   Gather(base, index)     base[index] per lane, for I32 and I64 indices
//   Count(index, m)         index + 1 in the lanes of m
//   AnyEquals(index, v)     whether a lane of index holds v
//   Trunc(x)                x truncated to a 32-bit integer (x within its range)
//   AndI, OrI, ShiftLeftI<n>, ToDouble   on I32
//   StoreSamples(out, c)    the lanes of c as kWidth sample colours
//
// Include this header only from a translation unit compiled for the instruction set, after
// all other headers, with Isa defined in an unnamed namespace there: every instantiation then
// stays local to that unit.
//
// Each lane computes the sample colour rules, the background blend and the truncation to bytes
// by the operations of the one-sample path, in the same order, so the bytes are the same.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "palette/PaletteTable.h"
#include "view/PixelVector.h"

namespace {

// The colours of kWidth samples.
template <class Isa>
struct ColorLanes {
  typename Isa::D red, green, blue, opacity;
};

// One side's rules as vectors, made once per run: the compiler cannot keep them in registers
// across the pixel stores, which may alias anything.
template <class Isa>
struct SideVectors {
  int curve = 0;
  typename Isa::D strength;
  const PaletteTable* palette = nullptr;
  // The mix colours by cycle number (8 per number), or nullptr for the constant from and to.
  const double* cycleMix = nullptr;
  typename Isa::D from[4], to[4];
};

// side's vectors; cycleMix: the inside mix colours per cycle number (count numbers), nullptr for
// the side's own mix colours. One cycle number is the same colours for every sample.
template <class Isa>
[[gnu::always_inline]] inline SideVectors<Isa> Vectors(const PixelVector::Side& side,
                                                       const double* cycleMix, std::size_t count) {
  SideVectors<Isa> v;
  v.curve = side.curve;
  v.strength = Isa::Set(side.strength);
  v.palette = side.palette;
  const bool constant = cycleMix == nullptr || count == 1;
  v.cycleMix = constant ? nullptr : cycleMix;
  for (int k = 0; k < 4; ++k) {
    v.from[k] = Isa::Set(cycleMix == nullptr ? side.mixFrom[k] : cycleMix[k]);
    v.to[k] = Isa::Set(cycleMix == nullptr ? side.mixTo[k] : cycleMix[4 + k]);
  }
  return v;
}

// Mixes from a at m = 0 to b at m = 1: a * (1 - m) + b * m.
template <class Isa>
[[gnu::always_inline]] inline typename Isa::D MixChannel(typename Isa::D a, typename Isa::D b,
                                                         typename Isa::D m,
                                                         typename Isa::D oneMinusM) {
  return Isa::Add(Isa::Mul(a, oneMinusM), Isa::Mul(b, m));
}

// A channel as a byte: 0 for NaN and values not above 0, 255 from 255 on, else truncated.
template <class Isa>
[[gnu::always_inline]] inline typename Isa::I32 ExportByte(typename Isa::D x) {
  // Max gives its second operand, 0, for NaN and for -0.
  return Isa::Trunc(Isa::Min(Isa::Max(x, Isa::Zero()), Isa::Set(255.0)));
}

// Red, green and blue bytes in the low three bytes of a word per lane.
template <class Isa>
[[gnu::always_inline]] inline typename Isa::I32 Words(typename Isa::I32 red,
                                                      typename Isa::I32 green,
                                                      typename Isa::I32 blue) {
  return Isa::OrI(Isa::OrI(red, Isa::template ShiftLeftI<8>(green)),
                  Isa::template ShiftLeftI<16>(blue));
}

// The palette's sample at e (TColorPalette1D::GetSample, with super colours or without); false
// when a lane's stretch would run off the chain.
template <class Isa>
[[gnu::always_inline]] inline bool PaletteSample(const PaletteTable& table, typename Isa::D e,
                                                 bool super, ColorLanes<Isa>& c) {
  using D = typename Isa::D;
  const D zero = Isa::Zero(), one = Isa::Set(1.0);
  D p;
  if (table.cyclic) {
    p = Isa::Sub(e, Isa::Floor(e));
    p = Isa::Keep(p, Isa::And(Isa::Ge(p, zero), Isa::Le(p, one)));
  } else {
    p = Isa::Keep(e, Isa::Ge(e, zero));
    p = Isa::Select(Isa::Gt(p, one), p, one);
  }
  const double* positions = table.positions.data();
  const D first = Isa::Set(positions[0]);
  p = Isa::Select(Isa::Ge(p, first), first, p);
  // The stretch index: how many of the positions after the first lie below p.
  typename Isa::I64 index = Isa::ZeroI64();
  const auto last = static_cast<long long>(table.positions.size() - 1);
  for (long long k = 1; k <= last; ++k) {
    index = Isa::Count(index, Isa::Lt(Isa::Set(positions[k]), p));
  }
  if (Isa::AnyEquals(index, last)) return false;
  const D at = Isa::Gather(positions, index);
  const D next = Isa::Gather(positions + 1, index);
  const D span = Isa::Sub(next, at);
  const D t = Isa::Select(Isa::Gt(span, zero), one, Isa::Div(Isa::Sub(p, at), span));
  const D oneMinusT = Isa::Sub(one, t);
  const D transFrom = Isa::Gather(table.transFrom.data(), index);
  const D transTo = Isa::Gather(table.transTo.data(), index);
  c.opacity = Isa::Add(transFrom, Isa::Mul(t, Isa::Sub(transTo, transFrom)));
  D* channels[3] = {&c.red, &c.green, &c.blue};
  for (int k = 0; k < 3; ++k) {
    if (super) {
      const D a = Isa::Gather(table.superFrom[k].data(), index);
      const D b = Isa::Gather(table.superTo[k].data(), index);
      *channels[k] = Isa::Add(Isa::Mul(t, b), Isa::Mul(oneMinusT, a));
    } else {
      // Truncated into a byte, as the palette's colour word holds it.
      const D a = Isa::Gather(table.from[k].data(), index);
      const D b = Isa::Gather(table.to[k].data(), index);
      const D x = Isa::Add(Isa::Mul(oneMinusT, a), Isa::Mul(t, b));
      *channels[k] = Isa::ToDouble(Isa::AndI(Isa::Trunc(x), 0xFF));
    }
  }
  return true;
}

// The colour of a vector of samples of one side at x = |depth|; false when left to the caller.
template <class Isa>
[[gnu::always_inline]] inline bool SideColor(const SideVectors<Isa>& side, typename Isa::D x,
                                             typename Isa::I32 cycleIndex, bool super,
                                             ColorLanes<Isa>& c) {
  using D = typename Isa::D;
  const D curve = side.curve == 0 ? Isa::Mul(x, x) : side.curve == 1 ? x : Isa::Sqrt(x);
  const D e = Isa::Mul(side.strength, curve);
  if (side.palette != nullptr) return PaletteSample<Isa>(*side.palette, e, super, c);
  const D one = Isa::Set(1.0);
  const D m = Isa::Select(Isa::Gt(e, one), e, one);
  const D oneMinusM = Isa::Sub(one, m);
  if (side.cycleMix != nullptr) {
    const double* mix = side.cycleMix;
    c.red = MixChannel<Isa>(Isa::Gather(mix, cycleIndex), Isa::Gather(mix + 4, cycleIndex), m,
                            oneMinusM);
    c.green = MixChannel<Isa>(Isa::Gather(mix + 1, cycleIndex), Isa::Gather(mix + 5, cycleIndex),
                              m, oneMinusM);
    c.blue = MixChannel<Isa>(Isa::Gather(mix + 2, cycleIndex), Isa::Gather(mix + 6, cycleIndex),
                             m, oneMinusM);
    c.opacity = MixChannel<Isa>(Isa::Gather(mix + 3, cycleIndex),
                                Isa::Gather(mix + 7, cycleIndex), m, oneMinusM);
    return true;
  }
  c.red = MixChannel<Isa>(side.from[0], side.to[0], m, oneMinusM);
  c.green = MixChannel<Isa>(side.from[1], side.to[1], m, oneMinusM);
  c.blue = MixChannel<Isa>(side.from[2], side.to[2], m, oneMinusM);
  c.opacity = MixChannel<Isa>(side.from[3], side.to[3], m, oneMinusM);
  return true;
}

// The window's pixels: three bytes each, stride bytes apart.
template <class Isa>
struct DisplayStore {
  std::uint8_t* out;
  std::ptrdiff_t stride;
  double background[3];
  std::uint32_t maxDepthWord;  // red in the low byte
  bool black;                  // the background is black

  [[gnu::always_inline]] void Put(int i, const std::uint32_t* word) {
    // Locals: the pixel stores could change the members, as far as the compiler knows.
    const std::ptrdiff_t step = stride;
    std::uint8_t* pixel = out + i * step;
#pragma GCC unroll 8
    for (int k = 0; k < Isa::kWidth; ++k, pixel += step) {
      // Two stores: a store of four bytes would reach into the next column's pixel, which
      // another thread may paint.
      const auto low = static_cast<std::uint16_t>(word[k]);
      std::memcpy(pixel, &low, 2);
      pixel[2] = static_cast<std::uint8_t>(word[k] >> 16);
    }
  }
  [[gnu::always_inline]] void MaxDepth(int i) {
    std::uint32_t word[Isa::kWidth];
    std::fill(word, word + Isa::kWidth, maxDepthWord);
    Put(i, word);
  }
  [[gnu::always_inline]] void Colors(int i, const ColorLanes<Isa>& c, unsigned maxDepthLanes) {
    using D = typename Isa::D;
    typename Isa::I32 red, green, blue;
    if (black) {
      // (1 - a) * 0 is a zero, which leaves channel * a as it is, or a NaN when channel * a is
      // one too (the opacity is finite or NaN): the same bytes.
      red = ExportByte<Isa>(Isa::Mul(c.red, c.opacity));
      green = ExportByte<Isa>(Isa::Mul(c.green, c.opacity));
      blue = ExportByte<Isa>(Isa::Mul(c.blue, c.opacity));
    } else {
      // (1 - a) * background + channel * a
      const D oneMinusA = Isa::Sub(Isa::Set(1.0), c.opacity);
      auto blend = [&](D channel, double b) {
        return ExportByte<Isa>(
            Isa::Add(Isa::Mul(oneMinusA, Isa::Set(b)), Isa::Mul(channel, c.opacity)));
      };
      red = blend(c.red, background[0]);
      green = blend(c.green, background[1]);
      blue = blend(c.blue, background[2]);
    }
    alignas(64) std::uint32_t word[Isa::kWidth];
    Isa::StoreWords(word, Words<Isa>(red, green, blue));
    if (maxDepthLanes != 0) {
      for (int k = 0; k < Isa::kWidth; ++k) {
        if ((maxDepthLanes >> k) & 1) word[k] = maxDepthWord;
      }
    }
    Put(i, word);
  }
};

// Exported colour words and alpha bytes.
template <class Isa>
struct ExportStore {
  std::uint32_t* colors;
  std::uint8_t* alpha;
  std::uint32_t maxDepthColor;
  std::uint8_t maxDepthAlpha;

  [[gnu::always_inline]] void MaxDepth(int i) {
    std::fill(colors + i, colors + i + Isa::kWidth, maxDepthColor);
    std::fill(alpha + i, alpha + i + Isa::kWidth, maxDepthAlpha);
  }
  [[gnu::always_inline]] void Colors(int i, const ColorLanes<Isa>& c, unsigned maxDepthLanes) {
    Isa::StoreWords(colors + i, Words<Isa>(ExportByte<Isa>(c.red), ExportByte<Isa>(c.green),
                                           ExportByte<Isa>(c.blue)));
    alignas(64) std::uint32_t opacity[Isa::kWidth];
    Isa::StoreWords(opacity, ExportByte<Isa>(Isa::Mul(c.opacity, Isa::Set(255.0))));
    for (int k = 0; k < Isa::kWidth; ++k) alpha[i + k] = static_cast<std::uint8_t>(opacity[k]);
    for (int k = 0; k < Isa::kWidth; ++k) {
      if ((maxDepthLanes >> k) & 1) {
        colors[i + k] = maxDepthColor;
        alpha[i + k] = maxDepthAlpha;
      }
    }
  }
};

// The sample colours themselves.
template <class Isa>
struct SampleStore {
  TSampleColor* out;
  TSampleColor maxDepth;

  [[gnu::always_inline]] void MaxDepth(int i) {
    std::fill(out + i, out + i + Isa::kWidth, maxDepth);
  }
  [[gnu::always_inline]] void Colors(int i, const ColorLanes<Isa>& c, unsigned maxDepthLanes) {
    Isa::StoreSamples(out + i, c.red, c.green, c.blue, c.opacity);
    for (int k = 0; k < Isa::kWidth; ++k) {
      if ((maxDepthLanes >> k) & 1) out[i + k] = maxDepth;
    }
  }
};

}  // namespace

template <class Isa, class Store>
int PixelVector::Run(const float* depths, const std::int32_t* cycles, int count, bool super,
                     Store& store, int* undone) const {
  using D = typename Isa::D;
  constexpr int W = Isa::kWidth;
  constexpr unsigned kAll = (1u << W) - 1;
  int left = 0;
  const auto lastCycle = static_cast<std::int32_t>(cycleMix_.size() / 8);
  const double* cycleMix = inside_.palette == nullptr ? cycleMix_.data() : nullptr;
  const SideVectors<Isa> outsideRules = Vectors<Isa>(outside_, nullptr, 0);
  const SideVectors<Isa> insideRules = Vectors<Isa>(inside_, cycleMix, cycleMix_.size() / 8);
  int i = 0;
  for (; i + W <= count; i += W) {
    const D depth = Isa::LoadFloats(depths + i);
    const D zero = Isa::Zero();
    const auto isOutside = Isa::Gt(depth, zero);
    const auto isInside = Isa::Lt(depth, zero);
    const unsigned outside = Isa::Bits(isOutside);
    const unsigned inside = Isa::Bits(isInside);
    if ((outside | inside) == 0) {  // all at the maximum depth (0 or NaN)
      store.MaxDepth(i);
      continue;
    }
    typename Isa::I32 cycleIndex = Isa::ZeroI32();
    if (outside != kAll && insideRules.cycleMix != nullptr && cycles != nullptr) {
      cycleIndex = Isa::CycleIndex(Isa::LoadInts(cycles + i), lastCycle);
    }
    ColorLanes<Isa> c;
    bool done = false;
    unsigned maxDepthLanes = 0;
    if (outside == kAll) {
      done = SideColor<Isa>(outsideRules, depth, cycleIndex, super, c);
    } else if (inside == kAll) {
      done = SideColor<Isa>(insideRules, Isa::Sub(zero, depth), cycleIndex, super, c);
    } else {
      // A mixed group: both sides' colours, each from its own lanes (the others at depth 0),
      // and the maximum depth's colour where neither.
      ColorLanes<Isa> o;
      done = SideColor<Isa>(outsideRules, Isa::Keep(depth, isOutside), cycleIndex, super, o) &&
             SideColor<Isa>(insideRules, Isa::Keep(Isa::Sub(zero, depth), isInside), cycleIndex,
                            super, c);
      if (done) {
        c.red = Isa::Select(isOutside, c.red, o.red);
        c.green = Isa::Select(isOutside, c.green, o.green);
        c.blue = Isa::Select(isOutside, c.blue, o.blue);
        c.opacity = Isa::Select(isOutside, c.opacity, o.opacity);
        maxDepthLanes = ~(outside | inside) & kAll;
      }
    }
    if (!done) {
      for (int k = 0; k < W; ++k) undone[left++] = i + k;
      continue;
    }
    store.Colors(i, c, maxDepthLanes);
  }
  for (; i < count; ++i) undone[left++] = i;
  return left;
}

// The run into the output's kind of store.
template <class Isa>
int PixelVector::RunOutput(const float* depths, const std::int32_t* cycles, int count,
                           const Output& out, int* undone) const {
  switch (out.kind) {
    case Output::Kind::Display: {
      const double* b = out.background;
      const std::uint8_t* maxDepth = out.maxDepthPixel.display;
      DisplayStore<Isa> store{
          out.pixels,
          out.stride,
          {b[0], b[1], b[2]},
          maxDepth[0] | (maxDepth[1] << 8) | (std::uint32_t{maxDepth[2]} << 16),
          b[0] == 0 && b[1] == 0 && b[2] == 0};
      return Run<Isa>(depths, cycles, count, false, store, undone);
    }
    case Output::Kind::Export: {
      ExportStore<Isa> store{out.colors, out.alpha, out.maxDepthPixel.exportColor,
                             out.maxDepthPixel.exportAlpha};
      return Run<Isa>(depths, cycles, count, false, store, undone);
    }
    case Output::Kind::Samples: {
      SampleStore<Isa> store{out.samples, out.maxDepth};
      return Run<Isa>(depths, cycles, count, out.interpolated, store, undone);
    }
  }
  return LeaveAll(count, undone);
}
