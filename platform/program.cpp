#include "platform/program.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/keys.h"

namespace plat {
namespace {

ScriptKeys script;

void scriptEnded() {
  printScreen();
  std::exit(0);
}

bool readAll(std::FILE* f, std::string& bytes) {
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  return !std::ferror(f);
}

}  // namespace

void ScriptKeys::add(const std::string& bytes) {
  for (int k : ::keys::decodeAll(bytes)) keys.push_back(k);
}

bool ScriptKeys::available() { return !keys.empty(); }

int ScriptKeys::next() {
  if (keys.empty()) return -1;
  int k = keys.front();
  keys.pop_front();
  return k;
}

std::string executableDir() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool startScript(const std::string& file, std::string& error) {
  std::string bytes;
  if (file == "-") {
    // With no standard input at all (closed descriptor) the script is empty.
    if (!readAll(stdin, bytes) && errno != EBADF) {
      error = std::string("cannot read the keys from standard input: ") + std::strerror(errno);
      return false;
    }
  } else {
    errno = 0;
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
      error = "cannot open the key file \"" + file + "\": " + std::strerror(errno);
      return false;
    }
    bool ok = readAll(f, bytes);
    int code = errno;
    std::fclose(f);
    if (!ok) {
      error = "cannot read the key file \"" + file + "\": " + std::strerror(code ? code : EIO);
      return false;
    }
  }
  script.keys.clear();
  script.add(bytes);
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
