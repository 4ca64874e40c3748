#include "console/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

#include "console/keys.h"
#include "console/program.h"
#include "platform/process.h"
#include "platform/utf8.h"

namespace term {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int IN = 0, OUT = 1;
constexpr auto FRAME_INTERVAL = std::chrono::milliseconds(16);  // about 60 paints a second

// Alternate screen, no automatic wrap (so the last cell can be written
// without scrolling), cursor hidden, blank screen; and the way back.
const char ENTER[] = "\x1b[?1049h\x1b[?7l\x1b[?25l\x1b[0m\x1b[2J";
const char LEAVE[] = "\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l";

termios saved{};
termios raw{};
volatile sig_atomic_t active = 0;   // raw mode and the alternate screen are on
volatile sig_atomic_t resized = 0;  // SIGWINCH seen
volatile sig_atomic_t resumed = 0;  // SIGCONT seen: the screen must be painted anew
int wakeRead = -1, wakeWrite = -1;  // self-pipe: signals wake the key loop

// Every signal whose default action ends the process gives the terminal
// back first (SIGKILL cannot be caught). The terminating ones stay ignored
// when the program was started with them ignored; the fatal ones (a fault
// in the program) are always caught. The real-time signals end the process
// too and are caught as well.
const int TERMINATING[] = {
    SIGINT,    SIGTERM,   SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2,
    SIGALRM,   SIGVTALRM, SIGPROF, SIGIO,   SIGXCPU,
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
const int FATAL[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSYS, SIGTRAP};
const int OTHERS[] = {SIGTSTP, SIGCONT, SIGWINCH};
struct sigaction previous[NSIG];

Painter painter;
Clock::time_point lastPaint{};
bool tooSmall = false;
bool atExitSet = false;

keys::Decoder decoder;
std::deque<int> queue;
Clock::time_point lastByte{};
bool inputEnded = false;

// Writes everything, retrying interrupted and partial writes. Safe in a
// signal handler. Gives up when the terminal is gone.
void writeAll(const char* data, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(OUT, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
}

void writeAll(const std::string& s) { writeAll(s.data(), s.size()); }

// Only async-signal-safe calls: used from the handlers.
void restoreTerminal() {
  if (!active) return;
  active = 0;
  writeAll(LEAVE, sizeof LEAVE - 1);
  tcsetattr(IN, TCSANOW, &saved);
}

void wake() {
  if (wakeWrite < 0) return;
  char b = 1;
  ssize_t ignored = ::write(wakeWrite, &b, 1);
  (void)ignored;
}

void onTerminate(int sig) {
  // SA_RESETHAND put the default action back; the signal raised again is
  // delivered when the handler returns and ends the process as it would have.
  restoreTerminal();
  raise(sig);
}

void onStop(int) {
  int e = errno;
  const bool wasActive = active;
  restoreTerminal();
  // Stop for real: the default action, unblocked, takes effect at once.
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  struct sigaction mine {};
  sigaction(SIGTSTP, &dfl, &mine);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(SIGTSTP);
  // Continued (SIGCONT's handler has run or runs when this one returns).
  sigaction(SIGTSTP, &mine, nullptr);
  if (wasActive && !active) {
    tcsetattr(IN, TCSANOW, &raw);
    writeAll(ENTER, sizeof ENTER - 1);
    active = 1;
  }
  resumed = 1;
  wake();
  errno = e;
}

void onContinue(int) {
  int e = errno;
  // After a stop that did not pass through onStop (SIGSTOP) the shell may
  // have changed the modes and drawn over the screen.
  if (active) {
    tcsetattr(IN, TCSANOW, &raw);
    writeAll(ENTER, sizeof ENTER - 1);
  }
  resumed = 1;
  wake();
  errno = e;
}

void onResize(int) {
  int e = errno;
  resized = 1;
  wake();
  errno = e;
}

void install(int sig, void (*handler)(int), int flags) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = flags;
  sigaction(sig, &sa, &previous[sig]);
}

// A signal the program was started with ignored (an interrupt for a job in
// the background of a shell without job control) stays ignored.
void installUnlessIgnored(int sig, void (*handler)(int), int flags) {
  install(sig, handler, flags);
  if (previous[sig].sa_handler == SIG_IGN) sigaction(sig, &previous[sig], nullptr);
}

void uninstall(int sig) { sigaction(sig, &previous[sig], nullptr); }

void uninstallAll() {
  for (int sig : TERMINATING) uninstall(sig);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) uninstall(sig);
  for (int sig : FATAL) uninstall(sig);
  for (int sig : OTHERS) uninstall(sig);
}

bool terminalSize(int& cols, int& rows) {
  winsize ws{};
  if (ioctl(OUT, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) return false;
  cols = ws.ws_col;
  rows = ws.ws_row;
  return true;
}

bool bigEnough(int& cols, int& rows) {
  if (!terminalSize(cols, rows)) return true;  // size unknown: assume it fits
  return cols >= con::COLS && rows >= con::ROWS;
}

std::string sizeText(int cols, int rows) {
  return std::to_string(cols) + " x " + std::to_string(rows);
}

// Takes care of what the signal handlers reported: a new size or a return
// from a stop. Runs in the normal flow of the program, never in a handler.
void drainWake() {
  char buf[64];
  while (wakeRead >= 0 && ::read(wakeRead, buf, sizeof buf) > 0) {
  }
}

void serviceSignals() {
  if (!resized && !resumed) return;
  drainWake();
  resized = 0;
  resumed = 0;
  if (!active) return;
  int cols = 0, rows = 0;
  tooSmall = !bigEnough(cols, rows);
  painter.known = false;
  if (tooSmall) {
    std::string msg = "\x1b[0m\x1b[2J\x1b[H\x1b[?25l";
    msg += "This window is " + sizeText(cols, rows) + ".\r\n";
    msg += "vkx needs at least 80 x 25: please enlarge it.";
    writeAll(msg);
  }
}

void paintNow() {
  std::string out;
  render(painter, out);
  lastPaint = Clock::now();
  if (!out.empty()) writeAll(out);
}

// Reads what the keyboard has sent; waits at most TIMEOUT ms (-1: until
// something happens).
void pump(int timeout) {
  // The self-pipe only wakes the poll; serviceSignals() reads the flags.
  pollfd fds[2] = {{IN, POLLIN, 0}, {wakeRead, POLLIN, 0}};
  int r = poll(fds, 2, timeout);
  if (r < 0) {
    if (errno != EINTR) inputEnded = true;
  } else if (r > 0) {
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      unsigned char buf[256];
      ssize_t n = ::read(IN, buf, sizeof buf);
      if (n > 0) {
        std::vector<int> keysOut;
        for (ssize_t i = 0; i < n; ++i) keys::feed(decoder, buf[i], keysOut);
        lastByte = Clock::now();
        // Keys typed while the screen cannot be shown are not acted on blind.
        if (!tooSmall) queue.insert(queue.end(), keysOut.begin(), keysOut.end());
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        std::vector<int> rest;
        keys::finish(decoder, rest);
        if (!tooSmall) queue.insert(queue.end(), rest.begin(), rest.end());
        inputEnded = true;
      }
    }
  }
  const bool wasSmall = tooSmall;
  serviceSignals();
  if (active && !tooSmall && (wasSmall || !painter.known)) paintNow();
}

// Milliseconds since the last byte when an Esc or a UTF-8 character is
// waiting for the rest of its bytes; resolves it once the timeout is over.
int escWait() {
  if (!keys::waiting(decoder)) return -1;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastByte).count();
  if (ms >= keys::ESC_TIMEOUT_MS) {
    std::vector<int> keysOut;
    keys::elapsed(decoder, static_cast<int>(ms), keysOut);
    if (!tooSmall) queue.insert(queue.end(), keysOut.begin(), keysOut.end());
    return -1;
  }
  return keys::ESC_TIMEOUT_MS - static_cast<int>(ms);
}

// The screen kept shown during a long computation: a second thread that
// sleeps until a signal handler wakes it and then repaints (the model does
// not change meanwhile). Signals stay with the program's own thread.
std::thread watcher;
std::atomic<bool> watching{false};

void watch() {
  while (watching) {
    pollfd fd = {wakeRead, POLLIN, 0};
    poll(&fd, 1, -1);
    if (!watching) break;
    const bool wasSmall = tooSmall;
    drainWake();
    serviceSignals();
    if (active && !tooSmall && (wasSmall || !painter.known)) paintNow();
  }
}

void startWatching() {
  if (watching || wakeRead < 0) return;
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &old);
  watching = true;
  watcher = std::thread(watch);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void stopWatching() {
  if (!watching) return;
  watching = false;
  wake();
  watcher.join();
  // The byte that stopped the watcher must not wake the key loop for
  // nothing; what the handlers reported meanwhile is taken care of now.
  drainWake();
  serviceSignals();
}

struct Backend : con::Renderer, con::KeySource {
  void hold(bool on) override {
    if (!on) {
      stopWatching();
      return;
    }
    paint(true);
    if (active) startWatching();
  }

  void paint(bool force) override {
    stopWatching();
    if (!active) return;
    serviceSignals();
    if (tooSmall) return;
    if (!force && Clock::now() - lastPaint < FRAME_INTERVAL) return;
    paintNow();
  }

  bool available() override {
    stopWatching();
    if (queue.empty() && !inputEnded) {
      pump(0);
      escWait();
    }
    return !queue.empty();
  }

  int next() override {
    stopWatching();
    for (;;) {
      if (!queue.empty()) {
        int k = queue.front();
        queue.pop_front();
        return k;
      }
      if (inputEnded) return -1;
      int wait = escWait();
      if (!queue.empty()) continue;
      pump(wait);
    }
  }
};

Backend backend;

// End of keyboard input: nothing more can happen, so the program ends.
void inputGone() {
  stop();
  std::exit(0);
}

void restoreAtExit() { stop(); }

void appendCursorTo(std::string& out, int x, int y) {
  out += "\x1b[";
  out += std::to_string(y);
  out += ';';
  out += std::to_string(x);
  out += 'H';
}

}  // namespace

std::string sgr(uint8_t attr) {
  // The console numbers colours blue = 1, red = 4; the terminal red = 1, blue = 4.
  auto ansi = [](int c) { return ((c & 1) << 2) | (c & 2) | ((c & 4) >> 2); };
  const int fg = attr & 0x0F, bg = (attr >> 4) & 0x07;
  const int fgCode = (fg & 8 ? 90 : 30) + ansi(fg & 7);
  return "\x1b[0;" + std::to_string(fgCode) + ";" + std::to_string(40 + ansi(bg)) + "m";
}

void render(Painter& p, std::string& out) {
  bool drew = false;
  if (!p.known) {
    out += "\x1b[?25l\x1b[0m\x1b[2J";
    p.attr = -1;
    drew = true;
  }
  int tx = -1, ty = -1;  // where the terminal's cursor is, -1 unknown
  for (int y = 1; y <= con::ROWS; ++y) {
    for (int x = 1; x <= con::COLS; ++x) {
      const con::Cell c = con::cell(x, y);
      con::Cell& s = p.shown[y - 1][x - 1];
      if (p.known && s.ch == c.ch && s.attr == c.attr) continue;
      if (!drew) {
        out += "\x1b[?25l";
        drew = true;
      }
      if (tx != x || ty != y) appendCursorTo(out, x, y);
      if (c.attr != p.attr) {
        out += sgr(c.attr);
        p.attr = c.attr;
      }
      utf8::append(out, c.ch);
      s = c;
      // Without automatic wrap the cursor stays on the last column.
      tx = x < con::COLS ? x + 1 : -1;
      ty = y;
    }
  }
  p.known = true;
  const int cx = con::cursorX(), cy = con::cursorY();
  if (drew || cx != p.cursorX || cy != p.cursorY) {
    appendCursorTo(out, cx, cy);
    out += "\x1b[?25h";
    p.cursorX = cx;
    p.cursorY = cy;
  }
}

bool start(std::string& error) {
  if (!isatty(IN) || !isatty(OUT)) {
    error = "standard input and output must be a terminal (vkx --keys FILE runs without one)";
    return false;
  }
  // The screen is drawn with the escape sequences of xterm and its kin; a
  // terminal that declares no type, or none of that kind, would show them
  // as garbage.
  const char* type = std::getenv("TERM");
  if (!type || !*type || std::strcmp(type, "dumb") == 0 || std::strcmp(type, "unknown") == 0) {
    error = std::string("the terminal type (TERM=") + (type ? type : "") +
            ") cannot show the screen; vkx needs one like xterm";
    return false;
  }
  int cols = 0, rows = 0;
  if (!bigEnough(cols, rows)) {
    error = "the terminal is " + sizeText(cols, rows) + "; vkx needs at least 80 x 25";
    return false;
  }
  plat::ignoreWriteSignals();
  if (tcgetattr(IN, &saved) != 0) {
    error = std::string("cannot read the terminal's settings: ") + std::strerror(errno);
    return false;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  for (int fd : fds) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  wakeRead = fds[0];
  wakeWrite = fds[1];

  raw = saved;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);  // ISIG stays
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;

  for (int sig : TERMINATING) installUnlessIgnored(sig, onTerminate, SA_RESETHAND);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
    installUnlessIgnored(sig, onTerminate, SA_RESETHAND);
  for (int sig : FATAL) install(sig, onTerminate, SA_RESETHAND);
  install(SIGTSTP, onStop, SA_RESTART);
  install(SIGCONT, onContinue, SA_RESTART);
  install(SIGWINCH, onResize, SA_RESTART);

  if (tcsetattr(IN, TCSAFLUSH, &raw) != 0) {
    error = std::string("cannot switch the terminal to raw mode: ") + std::strerror(errno);
    uninstallAll();
    return false;
  }
  writeAll(ENTER, sizeof ENTER - 1);
  active = 1;
  painter = Painter{};
  tooSmall = false;
  decoder = keys::Decoder{};
  decoder.dropUnknown = true;
  queue.clear();
  inputEnded = false;
  con::setRenderer(&backend);
  con::setKeySource(&backend);
  con::setExhaustedHandler(inputGone);
  if (!atExitSet) {
    atExitSet = true;
    std::atexit(restoreAtExit);
  }
  return true;
}

void stop() {
  if (wakeRead < 0) return;
  stopWatching();
  con::setRenderer(nullptr);
  con::setKeySource(nullptr);
  if (active) {
    active = 0;
    writeAll(LEAVE, sizeof LEAVE - 1);
    tcsetattr(IN, TCSAFLUSH, &saved);
  }
  uninstallAll();
  ::close(wakeRead);
  ::close(wakeWrite);
  wakeRead = wakeWrite = -1;
}

}  // namespace term
