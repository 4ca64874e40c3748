// Text files behind a small seam. Every file the program reads or writes
// goes through these routines, which retry interrupted calls and report
// failures as numeric error codes (errno values, 0 = success). Tests can make
// any of them fail on purpose through the fault switches at the end.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Lines longer than this are cut; the rest of such a line is skipped. It
// keeps a binary or runaway file from filling memory.
constexpr std::size_t MAX_LINE = 4096;

// A text file open for reading, line by line. Lines end in LF, CR LF or CR.
struct TextIn {
  std::FILE* f = nullptr;
  bool owned = true;                  // close() closes F (standard input stays open)
  std::size_t limit = 0;              // the bytes readLine() may read in all; 0: no bound
  std::size_t taken = 0;              // bytes read so far by readLine()
  bool overrun = false;               // readLine() stopped at LIMIT
  bool endless = false;               // opened by openStream() on no regular file: may never end
  int open(const std::string& path);  // 0 or an error code; only regular files
  // Any file that reads as a stream: "-" standard input, a pipe, a device
  // (/dev/stdin, the /dev/fd/N of a process substitution) or a regular
  // file; a folder is refused. Such a stream may never end: set LIMIT.
  int openStream(const std::string& path);
  bool readLine(std::string& line);  // false at end of file or at LIMIT (line is then empty)
  bool failed();                     // a read error, not the end
  bool eof();                        // no more bytes to read
  int readChar();                    // next byte, -1 at end
  void close();
  ~TextIn() { close(); }
};

// The lines of BYTES exactly as TextIn::readLine() reads them from a file:
// the pure core of the readers, for tests and fuzzing.
std::vector<std::string> splitLines(std::string_view bytes);

// A text file open for writing. Writes are buffered; write errors are kept
// and reported by commit() (and by error() at any time). Nothing written is
// kept unless commit() succeeds: a file left without commit() (an early
// return, an exception unwinding past it) is rolled back.
class TextOut {
 public:
  int append(const std::string& p);  // open for appending; fails when absent
  int create(const std::string& p);  // create; fails when present
  // Saves a whole file anew: the text goes to a temporary file of a fresh
  // name beside it, which commit() renames into place, so a failure keeps
  // the old file. A symbolic link is followed to the file it names; the new
  // file keeps the old one's permissions; a file the user may not write is
  // refused. When the folder takes no temporary file but the file may be
  // written, commit() rewrites it in place (and on a failure puts the old
  // contents back as far as the disk allows). A name that stands for an
  // open descriptor (/dev/stdout, /proc/self/fd/N) is written there, where
  // the descriptor stands, at commit(); a loop of links is refused (ELOOP).
  int replace(const std::string& p);
  void write(std::string_view text);
  void writeLine(std::string_view text);  // text and CR LF
  int error() const { return err; }
  // Pushes buffered text to the file now, so a full disk shows up while the
  // file is still open and can be rolled back. Returns the first error.
  int flush();
  // Makes what was written final and closes the file (for replace(), renames
  // the temporary file into place). Returns the first error, 0 = ok; on an
  // error the file is rolled back instead.
  int commit();
  // Drops what was written and closes: an appended file is cut back to the
  // length it had when it was opened, a created one is removed, a
  // replacement's temporary file is removed and the old file stays.
  void rollback();
  ~TextOut() { rollback(); }

 private:
  std::FILE* f = nullptr;
  std::string path;      // the file the caller named
  std::string tempPath;  // set while writing through a temporary file
  int err = 0;           // first write error
  long startLength = 0;  // length of the file when it was opened
  bool created = false;  // create() made the file
  std::size_t written = 0;
  // Rewriting in place: the file, its old contents, and the new text held
  // in memory (F writes there) until commit().
  int placeFd = -1;
  std::string oldBytes;
  char* placeText = nullptr;
  std::size_t placeLength = 0;
  bool streamed = false;  // placeFd is a descriptor written at its position
  void reset(const std::string& p);
  int openInPlace(int code);
  int openDescriptor(int fd);
  int writeInPlace();
  void closeInPlace();
};

bool isRegularFile(const std::string& path);
std::string currentDir();
int changeDir(const std::string& path);   // 0 or an error code
int removeFile(const std::string& path);  // 0 or an error code

// Fault switches for tests: when set to a positive number the next matching
// operation fails with that error code, and the switch clears itself.
struct Faults {
  int openRead = 0;     // TextIn::open
  int openWrite = 0;    // TextOut::append/create/replace
  int writeAfter = -1;  // fail writes once this many more bytes are written
  int writeError = 0;   // the code for writeAfter
  int rename = 0;       // the final rename of replace()
  int tempFile = 0;     // the temporary file of replace()
};
extern Faults faults;

}  // namespace plat
