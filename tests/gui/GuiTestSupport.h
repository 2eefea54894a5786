#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <functional>
#include <memory>

// One QApplication for the whole test program (offscreen platform, set by the test runner), and
// a watchdog: a program that hangs (a deadlock between a window and its computation) is ended
// with a message instead of waiting for the runner's time limit.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "tests_gui";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    watchdog_ = std::thread([this] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!done_.wait_for(lock, std::chrono::seconds(240), [this] { return finished_; })) {
        std::fprintf(stderr, "tests_gui: watchdog: no end after 240 s, aborting\n");
        std::abort();
      }
    });
  }
  void TearDown() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      finished_ = true;
    }
    done_.notify_one();
    watchdog_.join();
    app_.reset();
  }

 private:
  std::unique_ptr<QApplication> app_;
  std::thread watchdog_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
};

// Processes events until done() or the time is up; returns done().
inline bool ProcessUntil(const std::function<bool()>& done,
                         std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limit.count()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
