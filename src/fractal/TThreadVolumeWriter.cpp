#include "fractal/TThreadVolumeWriter.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <system_error>

#include "common/Assert.h"
#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"

namespace {

// The debugger name of the workers, cut to the 15 characters Linux allows.
constexpr const char* kThreadName = "TreadVolumeWrit";

// The longest an owner with a spare core polls for the next event before it sleeps.
constexpr std::chrono::microseconds kMaxOwnerPoll{5000};

// Pauses a worker spends waiting for its hand-over before it sleeps (up to about 0.1 ms).
constexpr int kSpinRounds = 2000;

// Tells the processor that this thread is spinning (x86 pause); a no-op where there is none.
inline void SpinPause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// Sets a flag for the lifetime of a scope, on every exit path.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

int WorkerCount(int requested, int strips) {
  int count = requested;
  if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(count, 1, std::max(strips, 1));
}

}  // namespace

TThreadVolumeWriter::TThreadVolumeWriter() = default;

int TThreadVolumeWriter::StripColumns(int width, int rows) {
  const std::int64_t height = std::max(rows, 1);
  const std::int64_t samples = std::max<std::int64_t>(width, 0) * height;
  const std::int64_t wanted = std::min<std::int64_t>(kMinStripSamples, samples / kMinStrips);
  const std::int64_t columns = (wanted + height - 1) / height;
  const std::int64_t groups = std::max<std::int64_t>((columns + kStripColumns - 1) / kStripColumns, 1);
  return static_cast<int>(groups * kStripColumns);
}

TThreadVolumeWriter::~TThreadVolumeWriter() {
  refuseStart_ = true;  // the finished callback must not leave a run behind
  Stop();
}

bool TThreadVolumeWriter::Start(const TKernelParams& params, TFractResult& result,
                                const TOrbitMapper* mapper, int threads,
                                EngineCallbacks callbacks, std::string& error) {
  if (refuseStart_) {
    error = "The computation could not be started.";
    return false;
  }
  {
    // A run that the stopped run's finished callback would start is superseded by this one.
    FlagScope refuse(refuseStart_);
    Stop();
  }
  error.clear();
  KORVANA_ASSERT(result.GetWidth() == params.xResolution &&
                 result.GetHeight() == params.BandRows());
  width_ = result.GetWidth();
  stripColumns_ = StripColumns(width_, result.GetHeight());
  strips_ = (width_ + stripColumns_ - 1) / stripColumns_;
  const int workers = WorkerCount(threads, strips_);
  if (!CreateKernels(params, mapper, workers, error)) return false;
  result_ = &result;
  callbacks_ = std::move(callbacks);
  spareCore_ = workers < static_cast<int>(std::thread::hardware_concurrency());
  stripState_.assign(static_cast<std::size_t>(strips_), Strip::Waiting);
  nextToPublish_ = 0;
  workersLeft_ = workers;
  events_ = eventsSeen_ = 0;
  lastWait_ = std::chrono::microseconds{0};
  broken_ = false;
  failure_.clear();
  lastError_.clear();
  steps_ = 0;
  terminate_ = false;
  nextStrip_ = 0;
  ++run_;
  running_ = true;
  if (!StartWorkers(workers)) {
    running_ = false;
    kernels_.clear();
    error = "The computation could not be started.";
    return false;
  }
  return true;
}

// One kernel (with its work arrays) per worker, made on the owner thread so that a failure
// can be reported before anything runs.
bool TThreadVolumeWriter::CreateKernels(const TKernelParams& params, const TOrbitMapper* mapper,
                                        int workers, std::string& error) {
  kernels_.clear();
  for (int i = 0; i < workers; ++i) {
    std::unique_ptr<TFractKernel> kernel = TFractKernel::Create(params, mapper, error);
    if (!kernel) {
      kernels_.clear();
      return false;
    }
    kernels_.push_back(std::move(kernel));
  }
  return true;
}

// Starts as many of the workers as the system allows; false when it allows none.
bool TThreadVolumeWriter::StartWorkers(int workers) {
  for (int i = 0; i < workers; ++i) {
    try {
      threads_.emplace_back(&TThreadVolumeWriter::Work, this, std::ref(*kernels_[i]));
    } catch (const std::system_error&) {
      std::lock_guard<std::mutex> lock(mutex_);
      workersLeft_ -= workers - i;
      break;
    }
  }
  return !threads_.empty();
}

void TThreadVolumeWriter::Work(TFractKernel& kernel) {
  pthread_setname_np(pthread_self(), kThreadName);
  while (!terminate_.load(std::memory_order_acquire)) {
    const int strip = nextStrip_.fetch_add(1);
    if (strip >= strips_) break;
    const int x0 = strip * stripColumns_;
    const int x1 = static_cast<int>(std::min<std::int64_t>(std::int64_t{x0} + stripColumns_, width_));
    Strip state = Strip::Done;
    try {
      if (!kernel.ComputeColumns(*result_, x0, x1, &terminate_)) state = Strip::Stopped;
    } catch (const std::bad_alloc&) {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = "Not enough memory for the work arrays of the computation.";
      state = Strip::Failed;
    } catch (...) {
      state = Strip::Failed;
    }
    if (state == Strip::Failed) terminate_.store(true, std::memory_order_release);
    HandOver(strip, state);
    if (state != Strip::Done) break;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --workersLeft_;
    ++events_;
  }
  ownerWake_.notify_all();
  WakeOwner();
}

// Reports the strip to the owner; a finished strip then waits until the owner has painted it
// (or dropped it because an earlier strip failed or stopped). An unattended owner hears only of
// strips that end the run early.
void TThreadVolumeWriter::HandOver(int strip, Strip state) {
  std::uint64_t seenReleases = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seenReleases = releases_.load(std::memory_order_relaxed);
    stripState_[strip] = state;
    ++events_;
  }
  if (state == Strip::Done && callbacks_.unattended) return;
  ownerWake_.notify_all();
  WakeOwner();
  if (state != Strip::Done) return;
  // The owner usually answers within microseconds: wait for that briefly without sleeping,
  // because waking a sleeping thread costs more than a strip's share of the computation.
  for (int spin = 0; spin < kSpinRounds; ++spin) {
    if (releases_.load(std::memory_order_acquire) != seenReleases) break;
    SpinPause();
  }
  std::unique_lock<std::mutex> lock(mutex_);
  released_.wait(lock, [&] { return stripState_[strip] == Strip::Released; });
}

void TThreadVolumeWriter::WakeOwner() {
  if (callbacks_.wake) callbacks_.wake();
}

void TThreadVolumeWriter::ServiceHandOvers() {
  // A paint callback that lets the owner's event loop run may call in again: the outer call
  // does the work.
  if (!running_ || servicing_) return;
  bool over = false;
  {
    FlagScope servicing(servicing_);
    std::unique_lock<std::mutex> lock(mutex_);
    eventsSeen_ = events_;
    while (!broken_ && nextToPublish_ < strips_ && stripState_[nextToPublish_] == Strip::Done) {
      const int strip = nextToPublish_;
      const int columns = static_cast<int>(
          std::min<std::int64_t>(static_cast<std::int64_t>(strip + 1) * stripColumns_, width_));
      result_->SetComputed(columns);
      lock.unlock();
      const bool painted = Paint(columns);
      lock.lock();
      stripState_[strip] = Strip::Released;
      ++nextToPublish_;
      releases_.fetch_add(1, std::memory_order_release);
      released_.notify_all();
      if (!painted) broken_ = true;
    }
    if (nextToPublish_ < strips_ && (stripState_[nextToPublish_] == Strip::Failed ||
                                     stripState_[nextToPublish_] == Strip::Stopped)) {
      broken_ = true;
    }
    if (broken_) {
      for (Strip& state : stripState_) {
        if (state == Strip::Done) state = Strip::Released;
      }
      releases_.fetch_add(1, std::memory_order_release);
      released_.notify_all();
    }
    over = workersLeft_ == 0;
  }
  if (over) Finish();
}

// Runs the paint callback; a failure ends the run with its reason. False when it failed.
bool TThreadVolumeWriter::Paint(int columns) {
  if (!callbacks_.paint) return true;
  try {
    callbacks_.paint(columns);
    return true;
  } catch (const std::bad_alloc&) {
    Fail("Not enough memory for painting the picture.");
  } catch (const std::exception& e) {
    Fail(std::string("The picture could not be painted: ") + e.what());
  } catch (...) {
    Fail("The picture could not be painted.");
  }
  return false;
}

// Ends the run early with reason as its error, unless an earlier failure gave one.
void TThreadVolumeWriter::Fail(const std::string& reason) {
  terminate_.store(true, std::memory_order_release);
  std::lock_guard<std::mutex> lock(mutex_);
  if (failure_.empty()) failure_ = reason;
}

void TThreadVolumeWriter::Finish() {
  Join();
  running_ = false;
  lastError_ = failure_;
  steps_ = 0;
  for (const auto& kernel : kernels_) steps_ += kernel->OrbitSteps();
  kernels_.clear();
  // The callbacks leave the engine first, so that finished may start the next run.
  EngineCallbacks done = std::move(callbacks_);
  callbacks_ = EngineCallbacks{};
  if (done.finished) done.finished();
}

void TThreadVolumeWriter::Join() {
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void TThreadVolumeWriter::Wait() {
  if (running_) WaitForRun(run_);
}

// Services hand-overs until run is over; a later run started by its finished callback is left
// to its owner.
void TThreadVolumeWriter::WaitForRun(std::uint64_t run) {
  KORVANA_ASSERT(!servicing_);
  auto current = [&] { return running_ && run_ == run; };
  while (current()) {
    ServiceHandOvers();
    if (!current()) break;
    AwaitEvent();
  }
}

// Blocks until a worker reports something. Waking a sleeping thread on an idle core can take
// longer than a tenth of a strip (on virtual machines especially), and every worker waits for
// the owner at each hand-over. So when a core would otherwise idle, the owner sleeps only for
// half the time it last waited (neighbouring strips take similar times) and then polls,
// yielding to anyone else who wants the core.
void TThreadVolumeWriter::AwaitEvent() {
  using Clock = std::chrono::steady_clock;
  auto pending = [&] { return events_.load(std::memory_order_acquire) != eventsSeen_; };
  const Clock::time_point start = Clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  if (spareCore_ && lastWait_.count() > 0) {
    if (!ownerWake_.wait_for(lock, lastWait_ / 2, pending)) {
      lock.unlock();
      const Clock::time_point until = Clock::now() + kMaxOwnerPoll;
      while (!pending() && Clock::now() < until) {
        for (int i = 0; i < 64; ++i) SpinPause();
        std::this_thread::yield();
      }
      lock.lock();
    }
  }
  ownerWake_.wait(lock, pending);
  lastWait_ = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

void TThreadVolumeWriter::Stop() {
  if (!running_) return;
  RequestStop();
  WaitForRun(run_);
}

void TThreadVolumeWriter::RequestStop() { terminate_.store(true, std::memory_order_release); }
