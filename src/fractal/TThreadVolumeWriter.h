#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fractal/TKernelParams.h"

class TFractKernel;
class TFractResult;
class TOrbitMapper;

// How an engine run talks to its owner thread (the GUI main thread or the headless renderer).
struct EngineCallbacks {
  // Owner thread, inside ServiceHandOvers: columns 0 .. computedColumns - 1 are final; paint
  // the new ones. Workers whose strips this covers stay blocked until it returns. It may call
  // RequestStop, but not Start, Stop or Wait. An exception from it ends the run with the
  // exception's text as LastError (the columns stay published).
  std::function<void(int computedColumns)> paint;
  // A worker thread: asks the owner to call ServiceHandOvers soon (the GUI queues a call). May
  // be empty for owners that block in Wait().
  std::function<void()> wake;
  // Owner thread, once per run: all columns are done or the run was stopped. It may Start the
  // next run, except while the engine is being destroyed or a Start is replacing this run (that
  // Start is refused: the replacing run wins).
  std::function<void()> finished;
  // True for an owner that only waits for the end of the run and paints after it (no progress
  // shown): a worker then goes on after each strip without waking the owner or waiting for it,
  // which saves two thread switches per strip. The strips are published, and paint called for
  // each, when the owner next services the hand-overs (at the latest when the run ends).
  bool unattended = false;
};

// The computing engine of one document: one run computes one result array with several worker
// threads (named "TreadVolumeWrit", the 15 characters Linux allows of "TreadVolumeWriter").
// Workers take strips of whole 8-column groups in column order (StripColumns); each finished
// strip is handed over to the owner thread, which publishes the computed columns strip by strip
// from left to right (so the computed count grows only by whole strips and painting never sees
// a gap) and paints them, while the worker that handed over waits until its strip has been
// painted (unless the owner is unattended, see EngineCallbacks). Stopping sets the termination
// flag, which the kernels read inside a strip too (see TFractKernel::ComputeColumns): a strip it
// interrupts is dropped, never published, and so are all strips after it. Stopping keeps
// servicing hand-overs until every worker has ended, so it never deadlocks and waits for less
// than one strip per worker.
//
// All members except the constructor arguments' callbacks run on the owner thread. Engines
// share nothing, so any number may run at once.
class TThreadVolumeWriter {
 public:
  // Strips are whole multiples of this many columns.
  static constexpr int kStripColumns = 8;
  // Samples a strip should hold at least, so that handing it over costs little against
  // computing it ...
  static constexpr int kMinStripSamples = 4096;
  // ... unless that leaves fewer strips than this (for progressive display and for balancing
  // the work between the workers).
  static constexpr int kMinStrips = 256;

  // The columns of one strip for a picture of width x rows samples: 8 for all but pictures
  // with very short columns.
  static int StripColumns(int width, int rows);

  TThreadVolumeWriter();
  ~TThreadVolumeWriter();  // stops a running computation
  TThreadVolumeWriter(const TThreadVolumeWriter&) = delete;
  TThreadVolumeWriter& operator=(const TThreadVolumeWriter&) = delete;

  // Stops any previous run, then computes all columns of result (whose size must be the
  // parameters' resolution) with `threads` workers (0 or less: one per hardware thread). The
  // result and the mapper (may be nullptr) must stay alive until the run has finished or been
  // stopped. Returns false with a message for the user, and starts nothing, when the work
  // arrays cannot be allocated or no thread can be started.
  bool Start(const TKernelParams& params, TFractResult& result, const TOrbitMapper* mapper,
             int threads, EngineCallbacks callbacks, std::string& error);

  // Publishes every strip that is finished and next in column order, paints it, releases its
  // worker; calls finished once the run is over.
  void ServiceHandOvers();

  // Services hand-overs until the current run is over (for owners without an event loop). A
  // run that its finished callback starts is not waited for.
  void Wait();

  // Requests termination of the current run and services its in-flight hand-overs until every
  // worker has ended; workers leave their strips early, so it waits for less than one strip
  // per worker. A run that the finished callback starts keeps running.
  void Stop();

  // Only requests termination: workers end soon, dropping the strips they are in. The owner
  // still has to service their hand-overs (its event loop, Wait or Stop).
  void RequestStop();

  // True from Start until finished has been called.
  bool IsRunning() const { return running_; }

  // Empty, or why the last run ended early (an allocation failure inside a worker, or a failure
  // of the paint callback). A stop and other failures inside a worker end the run silently; the
  // columns published so far stay valid.
  const std::string& LastError() const { return lastError_; }

  // Orbit steps of the last run, summed over its workers once it is over.
  std::uint64_t OrbitSteps() const { return steps_; }

 private:
  // Stopped: the termination flag interrupted it, so its columns are partial.
  enum class Strip : std::uint8_t { Waiting, Done, Failed, Stopped, Released };

  bool CreateKernels(const TKernelParams& params, const TOrbitMapper* mapper, int workers,
                     std::string& error);
  bool StartWorkers(int workers);
  void Work(TFractKernel& kernel);
  void HandOver(int strip, Strip state);
  bool Paint(int columns);
  void Fail(const std::string& reason);
  void WaitForRun(std::uint64_t run);
  void Finish();
  void WakeOwner();
  void Join();
  void AwaitEvent();

  TFractResult* result_ = nullptr;
  EngineCallbacks callbacks_;
  std::vector<std::unique_ptr<TFractKernel>> kernels_;
  std::vector<std::thread> threads_;
  int width_ = 0;
  int stripColumns_ = kStripColumns;
  int strips_ = 0;

  std::atomic<bool> terminate_{false};
  std::atomic<int> nextStrip_{0};
  std::atomic<std::uint64_t> releases_{0};  // strips released so far (changed under mutex_)

  // Guarded by mutex_.
  std::mutex mutex_;
  std::condition_variable ownerWake_;   // a strip was handed over or a worker ended
  std::condition_variable released_;    // the owner released strips
  std::vector<Strip> stripState_;
  int nextToPublish_ = 0;
  int workersLeft_ = 0;
  std::atomic<std::uint64_t> events_{0};  // hand-overs and worker ends so far
  std::uint64_t eventsSeen_ = 0;          // events_ at the owner's last servicing
  bool broken_ = false;  // a strip failed or stopped: later strips can never be published
  std::string failure_;  // why, when it was an allocation failure

  bool running_ = false;
  bool spareCore_ = false;  // fewer workers than hardware threads
  std::chrono::microseconds lastWait_{0};  // how long the owner last waited for an event
  bool servicing_ = false;
  std::uint64_t run_ = 0;     // counts the runs started, so Stop and Wait know their own
  bool refuseStart_ = false;  // while the destructor or a Start stops the current run
  std::string lastError_;
  std::uint64_t steps_ = 0;
};
