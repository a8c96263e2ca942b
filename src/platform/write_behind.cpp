#include "platform/write_behind.h"

#include <system_error>

#include "platform/interrupt.h"

namespace corvina {

WriteBehind::WriteBehind() {
  // Where no thread can be had, the jobs run in the caller's: slower, never wrong.
  try {
    thread_ = start_thread_without_signals([this] { work(); });
  } catch (const std::system_error&) {
  }
}

WriteBehind::~WriteBehind() {
  if (!thread_.joinable()) return;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void WriteBehind::start(std::function<void()> job) {
  if (!thread_.joinable()) return job();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  job_ = std::move(job);
  busy_ = true;
  lock.unlock();
  changed_.notify_all();
}

void WriteBehind::wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
}

void WriteBehind::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (!busy_) return;
    lock.unlock();
    job_();
    lock.lock();
    job_ = nullptr;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace corvina
