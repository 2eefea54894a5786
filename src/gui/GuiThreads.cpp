#include "gui/GuiThreads.h"

#include <QCoreApplication>
#include <atomic>
#include <thread>

bool RunWhileProcessingEvents(const std::function<bool()>& work, const std::function<void()>& poll) {
  std::atomic<bool> done{false};
  bool result = false;
  std::thread worker([&] {
    result = work();
    done = true;
  });
  while (!done) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
    poll();
  }
  worker.join();
  return result;
}
