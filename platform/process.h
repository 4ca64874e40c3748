// The process itself: where its executable lives, and the signals of writes
// that must fail instead of ending it.
#pragma once

#include <cstddef>
#include <string>

namespace plat {

// The folder of the running executable with a trailing "/", or "" when it
// cannot be found out.
std::string executableDir();

// A write beyond the file-size limit (SIGXFSZ) or into a closed pipe
// (SIGPIPE) would end the process at once, leaving a half-written file and,
// on a terminal, the screen as it was: both are ignored, so that the write
// fails with an error code the file writers report and roll back.
void ignoreWriteSignals();
// Standard output was closed by its reader (a write failed with EPIPE):
// the process ends as the standard tools do, by SIGPIPE (status 141 in a
// shell) without a message. The caller has rolled its files back.
[[noreturn]] void endByClosedPipe();

// The machine's physical memory in bytes, or the memory limit of the
// process's control group or its address-space limit when that is smaller;
// 0 when it cannot be found out.
std::size_t PHYSICALMEMORY();
// The most the process may still take: its control group's limit or what
// its address-space limit (ulimit -v) leaves beside what it has mapped;
// 0 for no limit.
std::size_t PROCESSLIMIT();
// The memory available now: the machine's available memory (what the
// kernel could give without swapping), within PROCESSLIMIT; PHYSICALMEMORY
// when that cannot be read.
std::size_t AVAILABLEMEMORY();

// The cores a count may keep busy at once: the machine's, or 1 in a build
// without threads (VKX_ONE_THREAD, the web page's WebAssembly, where a
// thread cannot be started).
unsigned CORES();

}  // namespace plat
