// What every counting method tells the planner before any work, and what
// the planner hands it for the work: the cost of a method on one game (its
// passes, the peak bytes it holds and the CPU seconds it takes, from its own
// measured rates), and the control of a long count (progress to the front
// end, a request to stop).
//
// Each method's unit gives a cost function beside its count. The rates in
// it are named constants, each with the measurement that set it (the games
// and the machine), so that a plan can be checked against what the count
// then takes, and recalibrated when a method changes.
#pragma once

#include <atomic>
#include <cstddef>

struct COSTTYP {
  bool APPLIES = false;  // the method counts this game at all
  int PASSES = 1;        // one per prime where the counts exceed 64 bits
  std::size_t BYTES = 0;
  double SECONDS = 0;  // CPU seconds
  // False where BYTES and SECONDS are an upper bound that the count may
  // exceed (a decision diagram's size is known only once it is built): the
  // count then stops at the budget instead of growing past it.
  bool SURE = true;
  const char* WHY = "";  // where it does not apply: why not
};

// Thrown from a method's loop when its control asks it to stop; the
// method's caller catches it and reports the count as stopped.
struct COUNTSTOPPED {};

// The control of one count: PROGRESS (may be null) hears of the share done
// now and then, and a count that sees STOP set ends early, with its result
// marked as not counted; both from the counting thread.
struct CONTROLTYP {
  void (*PROGRESS)(void* DATA, double FRACTION) = nullptr;
  void* DATA = nullptr;
  const std::atomic<bool>* STOP = nullptr;

  bool STOPPED() const { return STOP != nullptr && STOP->load(std::memory_order_relaxed); }
  void REPORT(double FRACTION) const {
    if (PROGRESS != nullptr) PROGRESS(DATA, FRACTION);
  }
};

// The control of the count running on this thread, as the methods' inner
// loops see it (null: none), set for the time of a count by CONTROLSCOPE:
// the loops report their share without every unit's signature carrying it.
inline thread_local const CONTROLTYP* COUNTCONTROL = nullptr;

// A method's loop at SHARE (0..1) of its work: the control hears of it, and
// the count stops here (COUNTSTOPPED) when asked to.
inline void COUNTAT(double SHARE) {
  const CONTROLTYP* c = COUNTCONTROL;
  if (c == nullptr) return;
  if (c->STOPPED()) throw COUNTSTOPPED{};
  c->REPORT(SHARE);
}

// CONTROL as this thread's COUNTCONTROL while the scope lasts.
class CONTROLSCOPE {
 public:
  explicit CONTROLSCOPE(const CONTROLTYP* CONTROL) : saved_(COUNTCONTROL) {
    COUNTCONTROL = CONTROL;
  }
  ~CONTROLSCOPE() { COUNTCONTROL = saved_; }
  CONTROLSCOPE(const CONTROLSCOPE&) = delete;
  CONTROLSCOPE& operator=(const CONTROLSCOPE&) = delete;

 private:
  const CONTROLTYP* saved_;
};
