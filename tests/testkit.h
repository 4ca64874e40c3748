// Helpers for tests that drive the program through the virtual console.
#pragma once

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"
#include "types/vkxdecl.h"

namespace testkit {

// Thrown when the program under test asks for a key after the script ran out.
struct KeysExhausted : std::runtime_error {
  KeysExhausted() : std::runtime_error("the program asked for more keys than scripted") {}
};

// The settings record a test hands to the program; start() resets it.
extern SETTINGSTYP SETTINGS;

// Resets the console and the settings, installs a key script (bytes as
// a terminal would send them, e.g. "12\r" or "\x1b[D") and a fixed clock.
void start(const std::string& keys = "");
// The keys of a dialogue: one answer per prompt, each ended by Enter, then
// PRESSES, single keys for the waits (report rows, "press any key").
std::string answers(std::initializer_list<const char*> lines, const char* presses = "");
// Appends more keys to the running script.
void addKeys(const std::string& keys);
// Keys not yet read by the program.
std::size_t keysLeft();
// Row Y of the screen (1..25), trailing blanks removed, UTF-8.
std::string row(int y);
// All 25 rows, trimmed, joined by "\n" (the scripted mode's screen dump).
std::string screen();
// Attribute of a screen cell.
unsigned char attr(int x, int y);
// Row R of the command window (window row 1 is screen row 3, the frame's
// columns left out), trailing blanks cut.
std::string winLine(int r);
// Starts the console with KEYS and runs COMMAND with SETTINGS until it waits at "press any
// key" (the key that would end the wait is not scripted, so the screen can be
// checked); every scripted key must have been read by then.
void runUntilWait(void (*command)(SETTINGSTYP&), const std::string& keys);

// The data file of a weighted game of two subgames with the weights 5, 3, 2
// and 1, 1, in the form the program writes it.
inline constexpr const char* EXAMPLE_DATA_FILE =
    "1  {datastructure weighted} \r\n"
    "2  {number of subgames}\r\n"
    "3  {number of players subgame 1}\r\n"
    "5  {weight player 1}\r\n"
    "3  {weight player 2}\r\n"
    "2  {weight player 3}\r\n"
    "2  {number of players subgame 2}\r\n"
    "1  {weight player 1}\r\n"
    "1  {weight player 2}\r\n";

// A scratch folder, made fresh for a test and entered; the previous current
// folder is restored and the folder removed when the object goes.
struct TempDir {
  std::string path;
  std::string previous;
  TempDir();
  ~TempDir();
  std::string file(const std::string& name) const { return path + "/" + name; }
};
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// The pieces of TEXT each ended by END; a last piece without END too.
std::vector<std::string> split(const std::string& text, const std::string& end);
// A CSV of the command line without its leading quota columns ("quota", or
// "quota1,quota2,..."), for tests that read the player columns by place.
std::string withoutQuotas(const std::string& csv);
// The names of the entries of folder PATH, sorted.
std::vector<std::string> folderFiles(const std::string& path);

// The ways a file save can fail, each armed through the fault switches: the
// file cannot be created, the disk fills while writing, the finished
// temporary file cannot be renamed over the old one.
struct SaveFault {
  const char* what;
  void (*arm)();
};
extern const SaveFault SAVE_FAULTS[3];

// Runs COMMAND with the shell; returns its exit status (-1 when it did not
// exit normally) and, with OUT, what it wrote to standard output.
int runCommand(const std::string& command, std::string* out = nullptr);

// The real program's command line with ARGS, run in the current folder;
// standard error is kept in a file outside it, so that the folder shows only
// what the program wrote.
struct CliRun {
  int status = -1;
  std::string out, err;
};
CliRun runCli(const std::string& args);

// The real program run in the current folder with KEYS written to the file
// "keys": ENV goes in front of the command line (e.g. VKX_PRINTER=...), ARGS
// after the program. SCREEN is what it printed (the 25 rows when the keys ran
// out), STATUS as runCommand gives it.
struct ProgramRun {
  int status = -1;
  std::string screen;
};
ProgramRun runProgram(const std::string& keys, const std::string& env = "",
                      const std::string& args = "--keys keys");

bool haveTmux();

// One tmux server of our own (unique socket), with one session whose pane
// runs the program inside a small shell script in a scratch folder. The
// script records the terminal modes before and after and the exit status.
struct Session {
  TempDir dir;
  std::string socket;
  bool started = false;

  // PRELUDE runs in the script before the modes are recorded.
  Session(int cols, int rows, const std::string& prelude = "");
  ~Session();

  std::string tmux(const std::string& args) const;
  std::string screen() const;
  void keys(const std::string& names) const;
  // Polls until COND holds; false after about ten seconds.
  bool waitUntil(const std::function<bool()>& cond) const;
  bool waitFor(const std::string& text) const;
  // Started, and showing the start screen within those ten seconds.
  bool startShown() const { return started && waitFor("VKX 2.0 - Verkanix"); }
  bool finished() const;
  std::string status() const;
  bool modesRestored() const;
  // The process id of the running program, 0 when there is none.
  int programPid() const;
};

// The program ended with STATUS (as the script records it) and gave the
// terminal back in the modes it found it in.
void expectEnded(const Session& s, const std::string& status);

}  // namespace testkit
