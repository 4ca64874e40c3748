#include "console/program.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/console.h"
#include "console/keys.h"
#include "platform/clock.h"
#include "platform/process.h"

namespace plat {
namespace {

ScriptKeys script;

void scriptEnded() {
  printScreen();
  std::exit(0);
}

}  // namespace

void ScriptKeys::add(const std::string& bytes) {
  for (int k : ::keys::decodeAll(bytes)) keys.push_back(k);
}

int ScriptKeys::follow(int fd) {
  source = fd;
  failed = 0;
  decoder = ::keys::Decoder{};
  refill();
  return failed;
}

// Reads the next blocks of the source until they give a key or it ends;
// false when no key came.
bool ScriptKeys::refill() {
  while (keys.empty() && source >= 0) {
    unsigned char buf[4096];
    const ssize_t n = ::read(source, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    std::vector<int> out;
    if (n > 0) {
      for (ssize_t i = 0; i < n; ++i) ::keys::feed(decoder, buf[i], out);
    } else {
      // The end, or a read error: what the decoder holds is all there is.
      // No standard input at all (a closed descriptor) is an empty script.
      if (n < 0 && errno != EBADF) failed = errno;
      ::keys::finish(decoder, out);
      if (source != 0) ::close(source);
      source = -1;
    }
    keys.insert(keys.end(), out.begin(), out.end());
  }
  return !keys.empty();
}

bool ScriptKeys::available() { return !keys.empty() || refill(); }

int ScriptKeys::next() {
  if (!available()) return -1;
  int k = keys.front();
  keys.pop_front();
  return k;
}

bool startScript(const std::string& file, std::string& error) {
  ignoreWriteSignals();
  script.keys.clear();
  int fd = 0;
  if (file != "-") {
    errno = 0;
    fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = "cannot open the key file \"" + file + "\": " + std::strerror(errno);
      return false;
    }
  }
  // The first block is read now, so that a source that cannot be read at
  // all is refused before the program starts.
  if (int code = script.follow(fd)) {
    error = file == "-" ? "cannot read the keys from standard input: "
                        : "cannot read the key file \"" + file + "\": ";
    error += std::strerror(code);
    return false;
  }
  con::setKeySource(&script);
  con::setRenderer(nullptr);
  con::setExhaustedHandler(scriptEnded);
  skipPauses = true;
  return true;
}

void printScreen() {
  std::string text = con::dump();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace plat
