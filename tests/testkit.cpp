#include "testkit.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "console/program.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/utf8.h"
#include "types/vkxdecl.h"

namespace testkit {

SETTINGSTYP SETTINGS;

namespace {

plat::ScriptKeys script;

void exhausted() { throw KeysExhausted(); }

plat::Stamp fixedClock() { return plat::Stamp{14, 5, 3, 0, 2026, 12, 7, 1}; }

}  // namespace

void start(const std::string& keys) {
  con::reset();
  SETTINGS = SETTINGSTYP{};
  script.keys.clear();
  con::setKeySource(&script);
  con::setRenderer(nullptr);
  con::setExhaustedHandler(exhausted);
  plat::setClock(fixedClock);
  plat::skipPauses = true;
  plat::faults = plat::Faults{};
  addKeys(keys);
}

std::string answers(std::initializer_list<const char*> lines, const char* presses) {
  std::string keys;
  for (const char* line : lines) keys += std::string(line) + "\r";
  return keys + presses;
}

void addKeys(const std::string& keys) { script.add(keys); }

std::size_t keysLeft() { return script.keys.size(); }

std::string row(int y) {
  std::string r = con::rowText(y);
  std::size_t n = r.size();
  while (n > 0 && r[n - 1] == ' ') --n;
  return r.substr(0, n);
}

std::string screen() { return con::dump(); }

unsigned char attr(int x, int y) { return con::cell(x, y).attr; }

std::string winLine(int r) {
  std::string s;
  for (int x = 2; x <= 79; ++x) utf8::append(s, con::cell(x, r + 2).ch);
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

void runUntilWait(void (*command)(SETTINGSTYP&), const std::string& keys) {
  start(keys);
  EXPECT_THROW(command(SETTINGS), KeysExhausted);
  EXPECT_EQ(row(25), "press any key");
  EXPECT_EQ(keysLeft(), 0u) << "every scripted key was read before the wait";
}

TempDir::TempDir() {
  namespace fs = std::filesystem;
  previous = fs::current_path().string();
  std::string templ = (fs::temp_directory_path() / "vkxtest-XXXXXX").string();
  char* made = mkdtemp(templ.data());
  path = made ? made : templ;
  fs::current_path(path);
}

TempDir::~TempDir() {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::current_path(previous, ec);
  fs::remove_all(path, ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> split(const std::string& text, const std::string& end) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t e; (e = text.find(end, at)) != std::string::npos; at = e + end.size())
    lines.push_back(text.substr(at, e - at));
  if (at < text.size()) lines.push_back(text.substr(at));
  return lines;
}

std::string withoutQuotas(const std::string& csv) {
  std::size_t columns = 0;
  for (std::size_t at = 0; csv.compare(at, 5, "quota") == 0; at = csv.find(',', at) + 1) ++columns;
  std::string out;
  for (const std::string& line : split(csv, "\n")) {
    std::size_t at = 0;
    for (std::size_t c = 0; c < columns; ++c) at = line.find(',', at) + 1;
    out += line.substr(at) + "\n";
  }
  return out;
}

std::vector<std::string> folderFiles(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const SaveFault SAVE_FAULTS[3] = {
    {"file cannot be created", [] { plat::faults.openWrite = 13; }},
    {"disk full while writing",
     [] {
       plat::faults.writeAfter = 10;
       plat::faults.writeError = 28;
     }},
    {"rename fails", [] { plat::faults.rename = 18; }},
};

int runCommand(const std::string& command, std::string* out) {
  std::FILE* p = popen(command.c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int status = pclose(p);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CliRun runCli(const std::string& args) {
  CliRun c;
  const std::string errFile = TempDir().path + ".err";
  c.status = runCommand(std::string("'") + VKX_BINARY + "' " + args + " 2>" + errFile, &c.out);
  c.err = readFile(errFile);
  std::remove(errFile.c_str());
  return c;
}

ProgramRun runProgram(const std::string& keys, const std::string& env, const std::string& args) {
  writeFile("keys", keys);
  // Appended piece by piece: GCC 12 reports a false overlapping copy
  // (-Wrestrict) for a literal joined to a temporary string.
  std::string cmd = env;
  if (!cmd.empty()) cmd += ' ';
  cmd += '\'';
  cmd += VKX_BINARY;
  cmd += "' ";
  cmd += args;
  ProgramRun r;
  r.status = runCommand(cmd, &r.screen);
  return r;
}

bool haveTmux() { return runCommand("tmux -V >/dev/null 2>&1") == 0; }

Session::Session(int cols, int rows, const std::string& prelude) {
  static int counter = 0;
  socket = "vkxtest-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  writeFile(dir.file("run.sh"), prelude + "\nstty -g > before\n\"" + VKX_BINARY +
                                    "\" 2> err\nrc=$?\nstty -g > after\necho $rc > status.tmp\n"
                                    "mv status.tmp status\nsleep 30\n");
  started = runCommand(tmux("new-session -d -x " + std::to_string(cols) + " -y " +
                            std::to_string(rows) + " -c " + dir.path + " 'sh ./run.sh'")) == 0;
}

Session::~Session() { runCommand(tmux("kill-server") + " 2>/dev/null"); }

std::string Session::tmux(const std::string& args) const {
  return "tmux -L " + socket + " " + args;
}

std::string Session::screen() const {
  std::string out;
  runCommand(tmux("capture-pane -p"), &out);
  return out;
}

void Session::keys(const std::string& names) const { runCommand(tmux("send-keys " + names)); }

bool Session::waitUntil(const std::function<bool()>& cond) const {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
  }
  return cond();
}

bool Session::waitFor(const std::string& text) const {
  return waitUntil([&] { return screen().find(text) != std::string::npos; });
}

bool Session::finished() const {
  return waitUntil([&] { return fileExists(dir.file("status")); });
}

std::string Session::status() const { return readFile(dir.file("status")); }

bool Session::modesRestored() const {
  std::string before = readFile(dir.file("before"));
  return !before.empty() && before == readFile(dir.file("after"));
}

int Session::programPid() const {
  // The pane's shell runs the program as its only child until it ends.
  std::string shell, child;
  runCommand(tmux("display -p '#{pane_pid}'"), &shell);
  runCommand("pgrep -P " + std::to_string(std::atoi(shell.c_str())) + " -x vkx", &child);
  return std::atoi(child.c_str());
}

void expectEnded(const Session& s, const std::string& status) {
  ASSERT_TRUE(s.finished()) << s.screen();
  EXPECT_EQ(s.status(), status);
  EXPECT_TRUE(s.modesRestored());
}

}  // namespace testkit
