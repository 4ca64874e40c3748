#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace plat {
namespace {

Stamp systemNow() {
  using namespace std::chrono;
  auto t = system_clock::now();
  std::time_t secs = system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&secs, &tm);
  auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
  return Stamp{tm.tm_hour,        tm.tm_min,     tm.tm_sec,  static_cast<int>(ms / 10),
               tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday};
}

Stamp (*clockSource)() = nullptr;

}  // namespace

bool skipPauses = false;

Stamp now() { return clockSource ? clockSource() : systemNow(); }

void setClock(Stamp (*source)()) { clockSource = source; }

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace plat
