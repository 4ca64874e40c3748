// The printer: an external command that takes the bytes to print on its
// standard input. It is "lpr" unless the environment variable VKX_PRINTER
// holds another command line (run by /bin/sh -c). A fresh command is started
// for every print job, so a printer that went away is noticed at once.
#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

namespace plat {

// The command line used for the next print job.
std::string printerCommand();

// A job's code when the shell found no such command to run.
constexpr int COMMAND_NOT_FOUND = 127;

struct PrintJob {
  int fd = -1;     // write end of the pipe to the command
  pid_t pid = -1;  // the command
  int err = 0;     // first error of this job

  // Starts the command. 0, or the error code of the failed start.
  int open();
  // Sends all of BYTES. 0, or the error code (EPIPE when the command is gone);
  // after an error nothing more is sent.
  int write(std::string_view bytes);
  // Ends the input of the command and waits for it. Returns the first error
  // of the job; otherwise the command's exit status when it is not 0
  // (128 + the signal number when it was killed), else 0.
  int close();
  ~PrintJob();
};

}  // namespace plat
