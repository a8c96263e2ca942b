#pragma once
// Most of a large run's time is the system copying written bytes into its file cache. A
// WriteBehind does those writes on a thread of its own, one job at a time, while the run
// makes the next block: the run then costs about the longer of the two, not their sum.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvina {

class WriteBehind {
 public:
  WriteBehind();
  // Waits for the job in hand: whatever a job writes into must outlive this object.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Waits for the job before, then starts `job`. Until the next wait() the job owns
  // whatever it touches: the caller fills other buffers meanwhile.
  void start(std::function<void()> job);
  // Returns once no job is in hand.
  void wait();

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace corvina
