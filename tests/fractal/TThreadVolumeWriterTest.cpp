#include "fractal/TThreadVolumeWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "KernelTestHelpers.h"
#include "fractal/OrbitMapper.h"

namespace {

TKernelParams Strips(int width, int height) {
  TKernelParams p;
  p.xResolution = width;
  p.yResolution = height;
  p.maxDepth = 50;
  return p;
}

// Records what the owner saw: every paint's computed count, checked to grow by whole strips.
struct Recorder {
  const TFractResult* result = nullptr;
  int strip = 8;  // columns of a strip
  std::vector<int> paints;
  int finished = 0;
  bool wholeStrips = true;

  EngineCallbacks Callbacks() {
    EngineCallbacks c;
    c.paint = [this](int columns) {
      const int last = paints.empty() ? 0 : paints.back();
      const bool whole = columns % strip == 0 || columns == result->GetWidth();
      wholeStrips = wholeStrips && whole && columns > last && columns - last <= strip &&
                    result->GetComputed() == columns;
      paints.push_back(columns);
    };
    c.finished = [this] { ++finished; };
    return c;
  }
};

// A picture mapping whose first call waits until the test lets it go; never opaque.
class GateMapper : public TOrbitMapper {
 public:
  void MapSample(double, double, double, double, int, double&, double&, double&,
                 double&) const override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (entered_) return;
    entered_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  void WaitUntilEntered() const {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return entered_; });
  }
  void Open() const {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable bool entered_ = false;
  mutable bool open_ = false;
};

// A picture mapping that throws once it has been called `calls` times.
template <class Exception>
class ThrowingMapper : public TOrbitMapper {
 public:
  explicit ThrowingMapper(int calls) : left_(calls) {}
  void MapSample(double, double, double, double, int, double&, double&, double&,
                 double&) const override {
    if (--left_ < 0) throw Exception();
  }

 private:
  mutable std::atomic<int> left_;
};

struct Failure : std::runtime_error {
  Failure() : std::runtime_error("failure") {}
};

}  // namespace

// An unattended owner hears of the strips only when it services them, in the same order.
TEST(TThreadVolumeWriter, StripsArePaintedLeftToRightInWholeStrips) {
  const TKernelParams p = Strips(20, 5);
  const auto reference = ComputeWithKernel(p);
  for (bool unattended : {false, true}) {
    for (int threads : {1, 2, 3, 7}) {
      auto result = NewResult(p);
      Recorder rec;
      rec.result = result.get();
      EngineCallbacks callbacks = rec.Callbacks();
      callbacks.unattended = unattended;
      TThreadVolumeWriter engine;
      std::string error;
      ASSERT_TRUE(engine.Start(p, *result, nullptr, threads, callbacks, error)) << error;
      EXPECT_TRUE(engine.IsRunning());
      engine.Wait();
      EXPECT_FALSE(engine.IsRunning());
      EXPECT_EQ(rec.paints, (std::vector<int>{8, 16, 20})) << threads << unattended;
      EXPECT_TRUE(rec.wholeStrips);
      EXPECT_EQ(rec.finished, 1);
      EXPECT_EQ(result->GetComputed(), 20);
      EXPECT_TRUE(SamePlanes(*reference, *result)) << threads << unattended;
      EXPECT_EQ(engine.LastError(), "");
      EXPECT_GT(engine.OrbitSteps(), 0u);
    }
  }
}

TEST(TThreadVolumeWriter, AnOwnerWithAnEventLoopServicesWhenWoken) {
  const TKernelParams p = Strips(61, 7);
  auto result = NewResult(p);
  Recorder rec;
  rec.result = result.get();
  EngineCallbacks callbacks = rec.Callbacks();
  std::mutex mutex;
  std::condition_variable wakeUp;
  int wakes = 0;
  callbacks.wake = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    ++wakes;
    wakeUp.notify_one();
  };
  TThreadVolumeWriter engine;
  std::string error;
  ASSERT_TRUE(engine.Start(p, *result, nullptr, 3, callbacks, error));
  int seen = 0;
  while (engine.IsRunning()) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      ASSERT_TRUE(wakeUp.wait_for(lock, std::chrono::seconds(10), [&] { return wakes != seen; }));
      seen = wakes;
    }
    engine.ServiceHandOvers();
  }
  EXPECT_EQ(rec.paints, (std::vector<int>{8, 16, 24, 32, 40, 48, 56, 61}));
  EXPECT_EQ(rec.finished, 1);
}

TEST(TThreadVolumeWriter, AStopDuringTheFirstStripDropsIt) {
  TKernelParams p = Strips(40, 6);
  const GateMapper gate;
  auto result = NewResult(p, true);
  Recorder rec;
  rec.result = result.get();
  TThreadVolumeWriter engine;
  std::string error;
  ASSERT_TRUE(engine.Start(p, *result, &gate, 1, rec.Callbacks(), error));
  gate.WaitUntilEntered();
  engine.RequestStop();
  gate.Open();
  engine.Wait();
  EXPECT_EQ(rec.paints, std::vector<int>{});
  EXPECT_EQ(result->GetComputed(), 0);
  EXPECT_EQ(rec.finished, 1);
  EXPECT_EQ(engine.LastError(), "");
}

namespace {

// A picture of 16 x 2000 samples whose left strip escapes at once and whose right strip lies
// largely inside the set: at MaxDepth 10^6 without cycle detection it takes seconds.
TKernelParams CheapThenDeep(KernelPath path) {
  TKernelParams p;
  p.xResolution = 16;
  p.yResolution = 2000;
  p.left = -4.0;
  p.right = 0.0;
  p.top = 0.1;
  p.bottom = -0.1;
  p.maxDepth = 1000000;
  p.maxCycle = 0;
  p.path = path;
  return p;
}

}  // namespace

// A stop while the workers are deep inside the second strip reaches them there: that strip is
// dropped (a finished one would be published), the run ends with no error, and the published
// strip holds the values of a complete computation.
TEST(TThreadVolumeWriter, AStopInsideADeepStripDropsItAndEndsWithoutError) {
  for (KernelPath path : {KernelPath::Scalar, KernelPath::Auto}) {
    for (int threads : {1, 2}) {
      SCOPED_TRACE(std::string(KernelPathName(path)) + ", threads " + std::to_string(threads));
      const TKernelParams p = CheapThenDeep(path);
      auto reference = NewResult(p);
      std::string error;
      ASSERT_TRUE(TFractKernel::Create(p, nullptr, error)->ComputeColumns(*reference, 0, 8));
      auto result = NewResult(p);
      Recorder rec;
      rec.result = result.get();
      TThreadVolumeWriter engine;
      ASSERT_TRUE(engine.Start(p, *result, nullptr, threads, rec.Callbacks(), error)) << error;
      // An owner's event loop: the cheap strip is published, the deep one is under way.
      while (result->GetComputed() < 8 && engine.IsRunning()) {
        engine.ServiceHandOvers();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      engine.Stop();
      EXPECT_EQ(rec.paints, std::vector<int>{8});
      EXPECT_EQ(result->GetComputed(), 8);
      EXPECT_EQ(rec.finished, 1);
      EXPECT_EQ(engine.LastError(), "");
      for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < p.yResolution; y += 97) {
          ASSERT_EQ(result->GetDepth(x, y), reference->GetDepth(x, y)) << x << ", " << y;
        }
      }
    }
  }
}

// Pictures with very short columns get strips of many columns (still whole groups of 8, taken
// and published left to right); the planes are those of 8-column strips, for any worker count.
TEST(TThreadVolumeWriter, WideStripsForShortColumnsGiveTheSameResults) {
  struct Case {
    int width, height, maxDepth;
    KernelPath path;
  };
  const Case cases[] = {
      {20000, 1, 200, KernelPath::Auto},
      {9001, 2, 50, KernelPath::Scalar},
      {12345, 3, 1, KernelPath::Auto},  // MaxDepth 1 runs the scalar kernel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    TKernelParams p = Strips(c.width, c.height);
    p.left = -2.0;
    p.right = 1.0;
    p.top = 0.7;
    p.bottom = -0.7;
    p.maxDepth = c.maxDepth;
    p.path = c.path;
    auto narrow = NewResult(p);
    std::string error;
    auto kernel = TFractKernel::Create(p, nullptr, error);
    for (int x = 0; x < c.width; x += 8) kernel->ComputeColumns(*narrow, x, std::min(x + 8, c.width));
    const int strip = TThreadVolumeWriter::StripColumns(c.width, c.height);
    EXPECT_GT(strip, 8);
    EXPECT_EQ(strip % 8, 0);
    for (int threads : {1, 2}) {
      auto result = NewResult(p);
      Recorder rec;
      rec.result = result.get();
      rec.strip = strip;
      TThreadVolumeWriter engine;
      ASSERT_TRUE(engine.Start(p, *result, nullptr, threads, rec.Callbacks(), error)) << error;
      engine.Wait();
      EXPECT_TRUE(rec.wholeStrips) << threads;
      EXPECT_EQ(rec.paints.size(), static_cast<std::size_t>((c.width + strip - 1) / strip));
      EXPECT_TRUE(SamePlanes(*narrow, *result)) << threads;
    }
  }
}

// Strips widen only for short columns; pictures as a window shows them keep 8-column strips.
TEST(TThreadVolumeWriter, StripsWidenOnlyForShortColumns) {
  EXPECT_EQ(TThreadVolumeWriter::StripColumns(2000, 2000), 8);
  EXPECT_EQ(TThreadVolumeWriter::StripColumns(8000, 600), 8);
  EXPECT_EQ(TThreadVolumeWriter::StripColumns(64, 20), 8);  // too few samples to share out
  EXPECT_EQ(TThreadVolumeWriter::StripColumns(0, 0), 8);
  for (int height : {1, 2, 3, 7, 100}) {
    const int columns = TThreadVolumeWriter::StripColumns(100000000 / height, height);
    EXPECT_EQ(columns % 8, 0) << height;
    EXPECT_GE(columns * height, TThreadVolumeWriter::kMinStripSamples) << height;
    EXPECT_LT((columns - 8) * height, TThreadVolumeWriter::kMinStripSamples) << height;
  }
}

TEST(TThreadVolumeWriter, StopWaitsForAtMostOneStripPerWorker) {
  for (int threads : {1, 3}) {
    const TKernelParams p = Strips(200, 4);
    auto result = NewResult(p);
    Recorder rec;
    rec.result = result.get();
    EngineCallbacks callbacks = rec.Callbacks();
    TThreadVolumeWriter engine;
    callbacks.paint = [&, paint = callbacks.paint](int columns) {
      paint(columns);
      engine.RequestStop();  // during the first hand-over
    };
    std::string error;
    ASSERT_TRUE(engine.Start(p, *result, nullptr, threads, callbacks, error));
    engine.Wait();
    EXPECT_TRUE(rec.wholeStrips);
    EXPECT_LE(result->GetComputed(), 8 * threads) << threads;
    EXPECT_EQ(result->GetComputed() % 8, 0);
    EXPECT_EQ(rec.finished, 1);
  }
}

TEST(TThreadVolumeWriter, AFailingStripEndsTheRunAndKeepsTheColumnsBeforeIt) {
  const TKernelParams p = Strips(80, 3);
  const auto reference = ComputeWithKernel(p);
  {
    // The mapping adds nothing, so depths are those of the plain computation until it throws
    // after the first strip (which needs fewer than 24 * 49 calls).
    const ThrowingMapper<Failure> mapper(1500);
    auto result = NewResult(p, true);
    Recorder rec;
    rec.result = result.get();
    TThreadVolumeWriter engine;
    std::string error;
    ASSERT_TRUE(engine.Start(p, *result, &mapper, 1, rec.Callbacks(), error));
    engine.Wait();
    EXPECT_LT(result->GetComputed(), 80);
    EXPECT_GT(result->GetComputed(), 0);
    EXPECT_TRUE(rec.wholeStrips);
    EXPECT_EQ(rec.finished, 1);
    EXPECT_EQ(engine.LastError(), "");  // no message for other failures
    for (int x = 0; x < result->GetComputed(); ++x) {
      for (int y = 0; y < 3; ++y) EXPECT_EQ(result->GetDepth(x, y), reference->GetDepth(x, y));
    }
  }
  {
    // With two workers a later strip may be done and waiting when an earlier one fails; an
    // unattended owner hears of the failure too.
    for (bool unattended : {false, true}) {
      const ThrowingMapper<std::bad_alloc> mapper(1500);
      auto result = NewResult(p, true);
      TThreadVolumeWriter engine;
      EngineCallbacks callbacks;
      callbacks.unattended = unattended;
      std::string error;
      ASSERT_TRUE(engine.Start(p, *result, &mapper, 2, callbacks, error));
      engine.Wait();
      EXPECT_LT(result->GetComputed(), 80);
      EXPECT_EQ(engine.LastError(), "Not enough memory for the work arrays of the computation.");
    }
  }
}

TEST(TThreadVolumeWriter, RestartingOrDestroyingARunningEngineStopsItFirst) {
  const TKernelParams p = Strips(400, 40);
  auto first = NewResult(p);
  auto second = NewResult(p);
  Recorder a, b;
  a.result = first.get();
  b.result = second.get();
  std::string error;
  {
    TThreadVolumeWriter engine;
    ASSERT_TRUE(engine.Start(p, *first, nullptr, 2, a.Callbacks(), error));
    ASSERT_TRUE(engine.Start(p, *second, nullptr, 2, b.Callbacks(), error));
    EXPECT_EQ(a.finished, 1);
    EXPECT_TRUE(a.wholeStrips);
    EXPECT_TRUE(engine.IsRunning());
  }
  EXPECT_EQ(b.finished, 1);
  EXPECT_TRUE(b.wholeStrips);
  EXPECT_EQ(second->GetComputed() % 8, 0);
}

// Many runs of several engines at once, stopped at random moments (during strips and during
// hand-overs), with paints that sometimes sleep: every run must end, publish only whole strips
// from the left, and leave final values in the published columns.
TEST(EngineConcurrency, ManyRunsStartAndStopWithoutDeadlockOrTornColumns) {
  auto owner = [](unsigned seed) {
    std::mt19937 random(seed);
    for (int run = 0; run < 20; ++run) {
      const TKernelParams p = Strips(1 + static_cast<int>(random() % 70), 1 + static_cast<int>(random() % 9));
      const auto reference = ComputeWithKernel(p);
      auto result = NewResult(p);
      Recorder rec;
      rec.result = result.get();
      EngineCallbacks callbacks = rec.Callbacks();
      TThreadVolumeWriter engine;
      const int stopAfterPaints = static_cast<int>(random() % 6);
      const bool sleepy = random() % 2 == 0;
      callbacks.paint = [&, paint = callbacks.paint](int columns) {
        paint(columns);
        if (sleepy && columns % 16 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (static_cast<int>(rec.paints.size()) == stopAfterPaints) engine.RequestStop();
      };
      std::string error;
      ASSERT_TRUE(engine.Start(p, *result, nullptr, 1 + static_cast<int>(random() % 4), callbacks, error));
      switch (random() % 3) {
        case 0: engine.Stop(); break;
        case 1: engine.Wait(); break;
        default:
          std::this_thread::sleep_for(std::chrono::microseconds(random() % 500));
          engine.Stop();
          break;
      }
      ASSERT_FALSE(engine.IsRunning());
      EXPECT_EQ(rec.finished, 1);
      EXPECT_TRUE(rec.wholeStrips);
      const int computed = result->GetComputed();
      EXPECT_TRUE(computed % 8 == 0 || computed == p.xResolution);
      for (int x = 0; x < computed; ++x) {
        for (int y = 0; y < p.yResolution; ++y) {
          ASSERT_EQ(result->GetDepth(x, y), reference->GetDepth(x, y));
        }
      }
    }
  };
  std::vector<std::thread> owners;
  for (unsigned seed = 1; seed <= 3; ++seed) owners.emplace_back(owner, seed);
  for (std::thread& t : owners) t.join();
}

// A finished callback that starts the next run (as a window does when it goes on to the next
// pass): a Stop must end only the run it was called for and leave the new one to its owner, and
// a Start that replaces the run or the destructor must not let the callback start another.
namespace {

struct Chain {
  TKernelParams params = Strips(800, 40);
  std::unique_ptr<TFractResult> first = NewResult(params);
  std::unique_ptr<TFractResult> second = NewResult(params);
  int firstFinished = 0;
  int secondFinished = 0;
  int restarts = 0;   // Start calls from the first run's finished callback
  int accepted = 0;   // ... that started a run

  void StartFirst(TThreadVolumeWriter& engine) {
    EngineCallbacks callbacks;
    callbacks.finished = [this, &engine] {
      ++firstFinished;
      ++restarts;
      EngineCallbacks next;
      next.finished = [this] { ++secondFinished; };
      std::string error;
      if (engine.Start(params, *second, nullptr, 2, next, error)) ++accepted;
    };
    std::string error;
    ASSERT_TRUE(engine.Start(params, *first, nullptr, 2, callbacks, error)) << error;
  }
};

}  // namespace

TEST(EngineConcurrency, StopEndsOnlyItsRunWhenFinishedStartsTheNext) {
  Chain chain;
  TThreadVolumeWriter engine;
  chain.StartFirst(engine);
  engine.Stop();
  EXPECT_EQ(chain.firstFinished, 1);
  ASSERT_EQ(chain.accepted, 1);
  // The second run is untouched: nobody has serviced it yet, so nothing is published.
  EXPECT_TRUE(engine.IsRunning());
  EXPECT_EQ(chain.second->GetComputed(), 0);
  EXPECT_EQ(chain.secondFinished, 0);
  engine.Stop();
  EXPECT_FALSE(engine.IsRunning());
  EXPECT_EQ(chain.secondFinished, 1);
  EXPECT_LE(chain.second->GetComputed(), 2 * TThreadVolumeWriter::kStripColumns);
}

TEST(EngineConcurrency, WaitEndsWithItsRunWhenFinishedStartsTheNext) {
  Chain chain;
  TThreadVolumeWriter engine;
  chain.StartFirst(engine);
  engine.Wait();
  EXPECT_EQ(chain.first->GetComputed(), 800);
  ASSERT_EQ(chain.accepted, 1);
  EXPECT_TRUE(engine.IsRunning());
  engine.Wait();
  EXPECT_EQ(chain.second->GetComputed(), 800);
  EXPECT_EQ(chain.secondFinished, 1);
}

TEST(EngineConcurrency, ARunBeingReplacedOrDestroyedCannotStartAnotherFromFinished) {
  enum class End { Replace, Destroy };
  for (End end : {End::Replace, End::Destroy}) {
    Chain chain;
    auto third = NewResult(chain.params);
    int thirdFinished = 0;
    {
      TThreadVolumeWriter engine;
      chain.StartFirst(engine);
      if (end == End::Replace) {
        EngineCallbacks callbacks;
        callbacks.finished = [&] { ++thirdFinished; };
        std::string error;
        ASSERT_TRUE(engine.Start(chain.params, *third, nullptr, 2, callbacks, error)) << error;
        EXPECT_TRUE(engine.IsRunning());
      }
    }
    EXPECT_EQ(chain.firstFinished, 1);
    EXPECT_EQ(chain.restarts, 1);
    EXPECT_EQ(chain.accepted, 0) << (end == End::Replace ? "replace" : "destroy");
    EXPECT_EQ(chain.secondFinished, 0);
    EXPECT_EQ(thirdFinished, end == End::Replace ? 1 : 0);
  }
}

// The paint callback allocates, so it can throw: the run ends with the reason as its error,
// the published columns stay, and the engine can be stopped and started again.
TEST(EngineConcurrency, AThrowingPaintEndsTheRunWithItsReason) {
  struct Case {
    const char* name;
    std::function<void()> fail;
    const char* error;
  };
  const Case cases[] = {
      {"bad_alloc", [] { throw std::bad_alloc(); }, "Not enough memory for painting the picture."},
      {"runtime_error", [] { throw std::runtime_error("disk on fire"); },
       "The picture could not be painted: disk on fire"},
      {"int", [] { throw 7; }, "The picture could not be painted."},
  };
  const TKernelParams p = Strips(200, 4);
  const auto reference = ComputeWithKernel(p);
  for (const Case& c : cases) {
    for (int threads : {1, 3}) {
      SCOPED_TRACE(std::string(c.name) + ", threads " + std::to_string(threads));
      auto result = NewResult(p);
      TThreadVolumeWriter engine;
      int paints = 0;
      int finished = 0;
      EngineCallbacks callbacks;
      callbacks.paint = [&](int) {
        if (++paints == 2) c.fail();
      };
      callbacks.finished = [&] { ++finished; };
      std::string error;
      ASSERT_TRUE(engine.Start(p, *result, nullptr, threads, callbacks, error));
      engine.Wait();
      EXPECT_FALSE(engine.IsRunning());
      EXPECT_EQ(finished, 1);
      EXPECT_EQ(paints, 2);
      EXPECT_EQ(engine.LastError(), c.error);
      EXPECT_EQ(result->GetComputed(), 16);
      engine.Stop();  // nothing left to stop, and no servicing left behind
      auto again = NewResult(p);
      Recorder rec;
      rec.result = again.get();
      ASSERT_TRUE(engine.Start(p, *again, nullptr, threads, rec.Callbacks(), error)) << error;
      engine.Wait();
      EXPECT_EQ(engine.LastError(), "");
      EXPECT_TRUE(SamePlanes(*reference, *again));
    }
  }
}
