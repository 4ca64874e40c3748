#include "platform/printer.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace plat {

namespace {

// While a job writes, SIGPIPE is ignored: a command that has died makes the
// write fail with EPIPE instead of ending the program.
struct IgnorePipeSignal {
  struct sigaction old {};
  IgnorePipeSignal() {
    struct sigaction ign {};
    ign.sa_handler = SIG_IGN;
    sigemptyset(&ign.sa_mask);
    sigaction(SIGPIPE, &ign, &old);
  }
  ~IgnorePipeSignal() { sigaction(SIGPIPE, &old, nullptr); }
};

}  // namespace

std::string printerCommand() {
  const char* cmd = std::getenv("VKX_PRINTER");
  if (cmd && *cmd) return cmd;
  return "lpr";
}

int PrintJob::open() {
  close();
  err = 0;
  int p[2];
  if (pipe2(p, O_CLOEXEC) != 0) return err = errno ? errno : EIO;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, p[0], 0);
  // The command's own messages would land on the program's screen (or in the
  // screen dump of a scripted run): they go nowhere.
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

  // The command gets the default SIGPIPE and SIGXFSZ handling whatever the
  // program has.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t def;
  sigemptyset(&def);
  sigaddset(&def, SIGPIPE);
  sigaddset(&def, SIGXFSZ);
  posix_spawnattr_setsigdefault(&attr, &def);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

  std::string cmd = printerCommand();
  char sh[] = "/bin/sh", dashc[] = "-c";
  char* argv[] = {sh, dashc, cmd.data(), nullptr};
  pid_t child = -1;
  int rc = posix_spawn(&child, "/bin/sh", &actions, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  ::close(p[0]);
  if (rc != 0) {
    ::close(p[1]);
    return err = rc;
  }
  fd = p[1];
  pid = child;
  return 0;
}

int PrintJob::write(std::string_view bytes) {
  if (err) return err;
  if (fd < 0) return err = EBADF;
  IgnorePipeSignal guard;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return err = errno ? errno : EIO;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int PrintJob::close() {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
  if (pid < 0) return err;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid, &status, 0);
  } while (r < 0 && errno == EINTR);
  pid = -1;
  int code = 0;
  if (r < 0)
    code = errno ? errno : ECHILD;
  else if (WIFEXITED(status))
    code = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    code = 128 + WTERMSIG(status);
  // The command's own verdict says more than a broken pipe: "not found" (127)
  // or the printer's failure code rather than EPIPE.
  if (code != 0) err = code;
  return err;
}

PrintJob::~PrintJob() { close(); }

}  // namespace plat
