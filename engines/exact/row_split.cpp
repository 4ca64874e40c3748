#include "engines/exact/row_split.h"

#include <system_error>

#include "platform/process.h"

namespace rowsplit {

Split::Split() {
  if (plat::CORES() < 2) return;
  try {
    helper_ = std::thread([this] { serve(); });
  } catch (const std::system_error&) {
    // no thread to be had: the caller does every job alone
  }
}

Split::~Split() {
  if (!helper_.joinable()) return;
  stop_ = true;
  meet_.arrive_and_wait();
  helper_.join();
}

// The helper's side: each job begins and ends at a meeting; the barrier
// orders the job's fields (and stop_) before the helper reads them.
void Split::serve() {
  for (;;) {
    meet_.arrive_and_wait();
    if (stop_) return;
    job_(body_, from_, to_);
    meet_.arrive_and_wait();
  }
}

}  // namespace rowsplit
