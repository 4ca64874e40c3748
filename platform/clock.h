// Local time and date. Tests replace the source to fix the time stamps.
#pragma once

namespace plat {

struct Stamp {
  int hour, minute, second, hundredths;
  int year, month, day, dayOfWeek;  // day of week 0 = Sunday
};

Stamp now();
// Replaces the clock (nullptr restores the system clock).
void setClock(Stamp (*source)());
// Sleeps about MS milliseconds (the start screen's pause polls with it).
void sleepMs(int ms);
// True in scripted runs, where no pause is waited.
extern bool skipPauses;

}  // namespace plat
