#include "platform/process.h"

#include <csignal>
#include <cstdio>
#include <cstring>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <thread>

namespace plat {

std::string executableDir() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

void ignoreWriteSignals() {
  struct sigaction ign {};
  ign.sa_handler = SIG_IGN;
  sigemptyset(&ign.sa_mask);
  sigaction(SIGPIPE, &ign, nullptr);
  sigaction(SIGXFSZ, &ign, nullptr);
}

void endByClosedPipe() {
  std::signal(SIGPIPE, SIG_DFL);
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  sigprocmask(SIG_UNBLOCK, &pipe, nullptr);
  raise(SIGPIPE);
  _exit(128 + SIGPIPE);
}

namespace {

// A control group's memory limit: a number of bytes, or "max" (none, 0).
std::size_t groupLimit(const char* path) {
  std::ifstream in(path);
  unsigned long long bytes = 0;
  return in >> bytes ? static_cast<std::size_t>(bytes) : 0;
}

}  // namespace

std::size_t PHYSICALMEMORY() {
  const long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
  std::size_t bytes =
      pages > 0 && size > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(size) : 0;
  // cgroup v2, then v1 (which writes a huge number for no limit)
  for (const char* path :
       {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
    const std::size_t limit = groupLimit(path);
    if (limit > 0 && (bytes == 0 || limit < bytes)) bytes = limit;
  }
  // An address-space limit (ulimit -v) ends allocations as surely.
  struct rlimit space {};
  if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
    const auto limit = static_cast<std::size_t>(space.rlim_cur);
    if (bytes == 0 || limit < bytes) bytes = limit;
  }
  return bytes;
}

namespace {

// A "Key:   N kB" line of /proc/meminfo or /proc/self/status, in bytes; 0
// when it is not there.
std::size_t procField(const char* path, const char* key) {
  std::FILE* f = std::fopen(path, "r");
  if (f == nullptr) return 0;
  char line[256];
  std::size_t bytes = 0;
  const std::size_t length = std::strlen(key);
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, key, length) != 0) continue;
    unsigned long long kb = 0;
    if (std::sscanf(line + length, " %llu", &kb) == 1) bytes = static_cast<std::size_t>(kb) * 1024;
    break;
  }
  std::fclose(f);
  return bytes;
}

}  // namespace

std::size_t PROCESSLIMIT() {
  std::size_t bytes = 0;
  for (const char* path :
       {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory/memory.limit_in_bytes"}) {
    const std::size_t limit = groupLimit(path);
    if (limit > 0 && (bytes == 0 || limit < bytes)) bytes = limit;
  }
  struct rlimit space {};
  if (getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
    // What the address space still takes: the limit less what the process
    // has mapped already.
    const auto limit = static_cast<std::size_t>(space.rlim_cur);
    const std::size_t mapped = procField("/proc/self/status", "VmSize:");
    const std::size_t room = limit > mapped ? limit - mapped : 0;
    if (bytes == 0 || room < bytes) bytes = room;
  }
  return bytes;
}

std::size_t AVAILABLEMEMORY() {
  std::size_t bytes = procField("/proc/meminfo", "MemAvailable:");
  if (bytes == 0) bytes = PHYSICALMEMORY();
  const std::size_t limit = PROCESSLIMIT();
  if (limit > 0 && (bytes == 0 || limit < bytes)) bytes = limit;
  return bytes;
}

unsigned CORES() {
#ifdef VKX_ONE_THREAD
  return 1;
#else
  return std::thread::hardware_concurrency();
#endif
}

}  // namespace plat
