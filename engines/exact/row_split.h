// One loop split over two threads: the caller takes the first half of each
// job, a helper thread the second, and the job ends when both are done. The
// dense table's rows are long and bound by memory, so a second core adds to
// a row while the first does, in the same memory (a table per thread would
// double it); each row waits for the one before, as the table's order of
// work requires.
#pragma once

#include <barrier>
#include <cstdint>
#include <thread>

namespace rowsplit {

class Split {
 public:
  // A helper thread where the machine has a second core and one can be
  // started; else RUN does the whole job itself.
  Split();
  ~Split();
  Split(const Split&) = delete;
  Split& operator=(const Split&) = delete;

  // BODY(FROM, TO) for the items [0, COUNT): both halves at once when the
  // job is long enough to pay for the meeting of the threads.
  template <class BODY>
  void RUN(int64_t COUNT, const BODY& body) {
    if (!helper_.joinable() || COUNT < MINSPLIT) {
      body(0, COUNT);
      return;
    }
    const int64_t half = COUNT / 2;
    job_ = [](const void* body, int64_t from, int64_t to) {
      (*static_cast<const BODY*>(body))(from, to);
    };
    body_ = &body;
    from_ = half;
    to_ = COUNT;
    meet_.arrive_and_wait();  // the helper starts on the second half
    body(0, half);
    meet_.arrive_and_wait();  // both halves done
  }

  static constexpr int64_t MINSPLIT = int64_t{1} << 16;

 private:
  void serve();

  std::barrier<> meet_{2};
  void (*job_)(const void*, int64_t, int64_t) = nullptr;
  const void* body_ = nullptr;
  int64_t from_ = 0, to_ = 0;
  bool stop_ = false;
  std::thread helper_;
};

}  // namespace rowsplit
