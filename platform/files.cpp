#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace plat {

Faults faults;

namespace {

int takeFault(int& sw) {
  int code = sw;
  if (code > 0) sw = 0;
  return code > 0 ? code : 0;
}

int lastError(int fallback = EIO) { return errno != 0 ? errno : fallback; }

// The code for a name that is not a regular file: a folder keeps its own
// code, anything else (a FIFO, a device, a socket) is an invalid argument.
int notRegular(const struct stat& st) { return S_ISDIR(st.st_mode) ? EISDIR : EINVAL; }

// Opens PATH, which must be a regular file, without ever blocking: a FIFO
// would wait for a writer (or reader) forever and a device such as
// /dev/zero never ends, so anything else is refused before a byte moves.
// The name is checked before the open (opening some devices does something)
// and the file opened checked again. Returns the descriptor, in blocking
// mode again, or -1 with CODE set.
int openRegular(const std::string& path, int flags, int& code) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    code = notRegular(st);
    return -1;
  }
  errno = 0;
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A FIFO without a reader, or a socket, refuses a non-blocking open so.
    code = errno == ENXIO ? EINVAL : lastError(ENOENT);
    return -1;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    code = errno != 0 ? errno : notRegular(st);
    ::close(fd);
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

int TextIn::open(const std::string& path) {
  close();
  if (int code = takeFault(faults.openRead)) return code;
  int code = 0;
  const int fd = openRegular(path, O_RDONLY, code);
  if (fd < 0) return code;
  f = fdopen(fd, "rb");
  if (!f) {
    code = lastError();
    ::close(fd);
    return code;
  }
  return 0;
}

int TextIn::readChar() {
  if (!f) return -1;
  int c = std::getc(f);
  return c == EOF ? -1 : c;
}

int TextIn::openStream(const std::string& path) {
  close();
  if (int code = takeFault(faults.openRead)) return code;
  if (path == "-") {
    f = stdin;
    owned = false;
  } else {
    errno = 0;
    f = std::fopen(path.c_str(), "rb");
    if (!f) return lastError(ENOENT);
  }
  struct stat st {};
  const bool known = fstat(fileno(f), &st) == 0;
  if (known && S_ISDIR(st.st_mode)) {
    close();
    return EISDIR;
  }
  endless = !known || !S_ISREG(st.st_mode);
  return 0;
}

bool TextIn::readLine(std::string& line) {
  line.clear();
  if (!f || overrun) return false;
  // Bytes are counted against LIMIT as they are read, so that an endless
  // line (/dev/zero) stops there too.
  auto next = [&]() {
    const int c = getc_unlocked(f);
    if (c == EOF) return EOF;
    if (limit > 0 && taken >= limit) {
      overrun = true;
      return EOF;
    }
    ++taken;
    return c;
  };
  int c = next();
  if (c == EOF) return false;
  while (c != EOF) {
    if (c == '\n') break;
    if (c == '\r') {
      int d = getc_unlocked(f);
      if (d != '\n' && d != EOF) std::ungetc(d, f);
      if (d == '\n') ++taken;
      break;
    }
    if (line.size() < MAX_LINE) line.push_back(static_cast<char>(c));
    c = next();
  }
  if (overrun) line.clear();
  return !overrun;
}

bool TextIn::failed() { return f != nullptr && std::ferror(f) != 0; }

bool TextIn::eof() {
  if (!f) return true;
  int c = std::getc(f);
  if (c == EOF) return true;
  std::ungetc(c, f);
  return false;
}

std::vector<std::string> splitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::string& line = lines.emplace_back();
    while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') {
      if (line.size() < MAX_LINE) line.push_back(bytes[i]);
      ++i;
    }
    if (i < bytes.size() && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    ++i;
  }
  return lines;
}

void TextIn::close() {
  if (f && owned) std::fclose(f);
  f = nullptr;
  owned = true;
  endless = false;
}

namespace {

// The file a save or a new file really is: a symbolic link is followed to
// the file it names (which may not exist yet), so the link stays a link.
std::string followLinks(std::string p) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = readlink(p.c_str(), target.data(), target.size());
    if (n <= 0) break;
    target.resize(static_cast<std::size_t>(n));
    const std::size_t slash = p.rfind('/');
    if (target[0] != '/' && slash != std::string::npos) target = p.substr(0, slash + 1) + target;
    p = target;
  }
  return p;
}

// The descriptor a name such as /dev/stdout or /proc/self/fd/N stands for,
// or -1: the file behind it is written where the descriptor stands (a
// shell's redirection), never replaced.
int descriptorOf(const std::string& p) {
  if (p == "/dev/stdin") return 0;
  if (p == "/dev/stdout") return 1;
  if (p == "/dev/stderr") return 2;
  for (const std::string& prefix :
       {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
        "/proc/" + std::to_string(getpid()) + "/fd/", std::string("/proc/thread-self/fd/")}) {
    if (p.rfind(prefix, 0) != 0 || p.size() == prefix.size() || p.size() > prefix.size() + 9)
      continue;
    const std::string n = p.substr(prefix.size());
    if (n.find_first_not_of("0123456789") == std::string::npos) return std::atoi(n.c_str());
  }
  return -1;
}

// A name of a folder's entry is at most NAME_MAX bytes: the temporary name
// beside a long one is cut to fit.
std::string tempNameOf(const std::string& p) {
  const std::size_t slash = p.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  std::string base = p.substr(start);
  if (base.size() + 7 > NAME_MAX) base.resize(NAME_MAX - 7);
  return p.substr(0, start) + base + ".XXXXXX";
}

mode_t currentUmask() {
  const mode_t m = umask(0);
  umask(m);
  return m;
}

}  // namespace

void TextOut::reset(const std::string& p) {
  rollback();
  path = p;
  tempPath.clear();
  err = 0;
  written = 0;
  startLength = 0;
  created = false;
}

int TextOut::append(const std::string& p) {
  reset(p);
  if (int code = takeFault(faults.openWrite)) return code;
  int code = 0;
  const int fd = openRegular(p, O_WRONLY | O_APPEND, code);
  if (fd < 0) return code;
  // Other programs (other runs of this one) append to the same file: the
  // lock, held until commit() or rollback(), keeps each one's text whole
  // and lets a roll back cut only what this one wrote.
  while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  struct stat st {};
  fstat(fd, &st);
  startLength = static_cast<long>(st.st_size);
  f = fdopen(fd, "ab");
  if (!f) {
    int code = lastError();
    ::close(fd);
    return code;
  }
  return 0;
}

int TextOut::create(const std::string& p) {
  reset(p);
  if (int code = takeFault(faults.openWrite)) return code;
  path = followLinks(p);
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ELOOP;
  errno = 0;
  // Exclusive: a file that appeared meanwhile is not truncated, and a roll
  // back may remove what this call made.
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return lastError(EACCES);
  f = fdopen(fd, "wb");
  if (!f) {
    int code = lastError();
    ::close(fd);
    ::unlink(path.c_str());
    return code;
  }
  created = true;
  return 0;
}

int TextOut::replace(const std::string& p) {
  reset(p);
  if (int code = takeFault(faults.openWrite)) return code;
  if (const int fd = descriptorOf(p); fd >= 0) return openDescriptor(fd);
  path = followLinks(p);
  struct stat st {};
  // A chain of links that never ends names no file to save.
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ELOOP;
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists) {
    // Opening the file for writing asks the system whether this user may
    // write it (root included) and changes nothing yet.
    int code = 0;
    const int fd = openRegular(path, O_WRONLY, code);
    if (fd < 0) return code;
    ::close(fd);
  }
  // A name made by this call alone: a file or a link that happens to carry
  // a fixed temporary name is never written through or renamed away.
  std::string temp = tempNameOf(path);
  errno = 0;
  int fd = -1;
  if (int code = takeFault(faults.tempFile))
    errno = code;
  else
    fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    const int code = lastError(EACCES);
    return exists ? openInPlace(code) : code;
  }
  // The new file gets the old one's permissions and owner, a new file what
  // the umask allows. A file system that keeps neither (or an owner this
  // user may not give) is no reason to refuse the save.
  if (fchmod(fd, exists ? st.st_mode & 07777 : 0666 & ~currentUmask()) != 0 ||
      (exists && fchown(fd, st.st_uid, st.st_gid) != 0)) {
  }
  f = fdopen(fd, "wb");
  if (!f) {
    const int code = lastError();
    ::close(fd);
    ::unlink(temp.c_str());
    return code;
  }
  tempPath = temp;
  return 0;
}

// The folder takes no temporary file (CODE says why). A file that may be
// written is then rewritten in place at commit(); its old contents are kept
// to be put back should that fail.
int TextOut::openInPlace(int code) {
  errno = 0;
  placeFd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (placeFd < 0) return code;
  struct stat st {};
  if (fstat(placeFd, &st) != 0 || !S_ISREG(st.st_mode)) {
    closeInPlace();
    return code;
  }
  fcntl(placeFd, F_SETFL, fcntl(placeFd, F_GETFL) & ~O_NONBLOCK);
  char buf[4096];
  for (ssize_t n; (n = ::read(placeFd, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      closeInPlace();
      return code;
    }
    oldBytes.append(buf, static_cast<std::size_t>(n));
  }
  f = open_memstream(&placeText, &placeLength);
  if (!f) {
    closeInPlace();
    return code;
  }
  return 0;
}

// Writing to an open descriptor: the text is held in memory until commit()
// writes it at once, so a failed run leaves nothing there either.
int TextOut::openDescriptor(int fd) {
  errno = 0;
  placeFd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (placeFd < 0) return lastError(EBADF);
  streamed = true;
  f = open_memstream(&placeText, &placeLength);
  if (!f) {
    const int code = lastError();
    closeInPlace();
    return code;
  }
  return 0;
}

int TextOut::writeInPlace() {
  if (streamed) {
    const char* data = placeText;
    std::size_t n = placeLength;
    while (n > 0) {
      errno = 0;
      const ssize_t w = ::write(placeFd, data, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return lastError();
      data += w;
      n -= static_cast<std::size_t>(w);
    }
    return 0;
  }
  auto put = [this](const char* data, std::size_t n) -> int {
    errno = 0;
    if (ftruncate(placeFd, 0) != 0) return lastError();
    off_t at = 0;
    while (n > 0) {
      const ssize_t w = pwrite(placeFd, data, n, at);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return lastError();
      data += w;
      at += w;
      n -= static_cast<std::size_t>(w);
    }
    return fsync(placeFd) == 0 ? 0 : lastError();
  };
  const int code = put(placeText, placeLength);
  if (code != 0) put(oldBytes.data(), oldBytes.size());
  return code;
}

void TextOut::closeInPlace() {
  if (placeFd >= 0) ::close(placeFd);
  placeFd = -1;
  streamed = false;
  std::free(placeText);
  placeText = nullptr;
  placeLength = 0;
  oldBytes.clear();
}

void TextOut::write(std::string_view text) {
  if (!f || err) return;
  if (faults.writeAfter >= 0) {
    if (written + text.size() > static_cast<std::size_t>(faults.writeAfter)) {
      err = faults.writeError > 0 ? faults.writeError : ENOSPC;
      faults.writeAfter = -1;
      faults.writeError = 0;
      return;
    }
  }
  errno = 0;
  std::size_t n = std::fwrite(text.data(), 1, text.size(), f);
  written += n;
  if (n != text.size()) err = lastError();
}

void TextOut::writeLine(std::string_view text) {
  write(text);
  write("\r\n");
}

int TextOut::flush() {
  if (!f) return err;
  errno = 0;
  if (std::fflush(f) != 0 && !err) err = lastError();
  return err;
}

int TextOut::commit() {
  if (!f) return err;
  flush();
  if (placeFd >= 0 && !err) {
    err = writeInPlace();
    if (!err) {
      std::fclose(f);
      f = nullptr;
      closeInPlace();
      return 0;
    }
  }
  if (!tempPath.empty() && !err && fsync(fileno(f)) != 0) err = lastError();
  if (err) {
    const int code = err;
    rollback();
    return code;
  }
  errno = 0;
  const bool closed = std::fclose(f) == 0;
  f = nullptr;
  if (!closed) err = lastError();
  if (!tempPath.empty()) {
    if (!err) {
      if (int code = takeFault(faults.rename))
        err = code;
      else if (std::rename(tempPath.c_str(), path.c_str()) != 0)
        err = lastError();
    }
    if (err) std::remove(tempPath.c_str());
    tempPath.clear();
  }
  created = false;
  return err;
}

void TextOut::rollback() {
  if (!f) return;
  std::fflush(f);
  if (tempPath.empty() && !created && placeFd < 0) {
    int rc;
    do {
      rc = ftruncate(fileno(f), startLength);
    } while (rc != 0 && errno == EINTR);
  }
  std::fclose(f);
  f = nullptr;
  closeInPlace();
  if (created) ::unlink(path.c_str());
  if (!tempPath.empty()) std::remove(tempPath.c_str());
  tempPath.clear();
  created = false;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string currentDir() {
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) return buf;
  return "";
}

int changeDir(const std::string& path) {
  errno = 0;
  return ::chdir(path.c_str()) == 0 ? 0 : lastError(ENOENT);
}

int removeFile(const std::string& path) {
  errno = 0;
  return std::remove(path.c_str()) == 0 ? 0 : lastError(ENOENT);
}

}  // namespace plat
