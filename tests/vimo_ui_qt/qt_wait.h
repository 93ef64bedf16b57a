// Spinning the Qt event loop until a condition holds, for tests.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

// False when `done` did not hold within the time.
inline bool run_until(const std::function<bool()>& done, int timeout_ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}
