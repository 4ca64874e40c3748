// Process-level services of the program: where the executable lives, and the
// scripted mode that reads its keys from a file instead of a terminal.
#pragma once

#include <deque>
#include <string>

#include "console/console.h"
#include "console/keys.h"
#include "platform/process.h"

namespace plat {

// Keys decoded ahead of time and handed out in order: the scripted mode's key
// source (tests drive the console with one too).
struct ScriptKeys : con::KeySource {
  std::deque<int> keys;
  // Appends BYTES, decoded as a terminal sends them ("12\r", "\x1b[D"...).
  void add(const std::string& bytes);
  // Takes further keys from descriptor FD (after those added), read a block
  // at a time as the program needs them: an endless source such as
  // /dev/zero or a pipe from "yes" never fills memory. The descriptor is
  // closed at its end. Returns 0, or the error code of a first read that
  // failed.
  int follow(int fd);
  bool available() override;
  int next() override;

 private:
  int source = -1;
  int failed = 0;  // error code of a failed read
  keys::Decoder decoder;
  bool refill();
};

// Scripted mode: reads every key from FILE ("-" is standard input), decoded
// as a terminal's bytes, and makes them the console's keys. Pauses are
// skipped. When the program needs a key after the last one, the screen is
// printed to standard output and the process ends with status 0. Returns
// false with a message in ERROR when FILE cannot be read.
bool startScript(const std::string& file, std::string& error);
// Prints the 25 screen rows (trailing blanks cut, UTF-8) to standard output.
void printScreen();

}  // namespace plat
