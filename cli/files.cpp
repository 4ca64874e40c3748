#include "cli/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/files.h"
#include "platform/process.h"

namespace {

// Opens PATH for appending, or creates it when it is not there; CREATED
// tells which.
int appendOrCreate(plat::TextOut& out, const std::string& path, bool& created) {
  created = false;
  int code = out.append(path);
  if (code == ENOENT) {
    code = out.create(path);
    created = code == 0;
  }
  return code;
}

// The files of one run, written together: the output file through a
// temporary file, and with --files the report appended to the ".out" file
// and the number block to the ".ouu" file as the menu command appends them.
// Any failure rolls every one of them back.
struct FILESTYP {
  static constexpr int FILES = 4;  // the output, the .out and .ouu files, the plot
  plat::TextOut file[FILES];
  std::string path[FILES];
  bool created[FILES] = {};
  bool open[FILES] = {};
  std::string error;

  // Writes TEXT (and HEADER first into a new file) to file I; false on
  // failure, after which nothing of this run remains anywhere.
  bool write(int i, const std::string& p, const std::string& text, const std::string& header,
             bool replace) {
    path[i] = p;
    int code = replace ? file[i].replace(p) : appendOrCreate(file[i], p, created[i]);
    open[i] = code == 0;
    if (code == 0) {
      if (created[i] && !header.empty()) {
        file[i].writeLine(header);
        file[i].writeLine("\r");
      }
      file[i].write(text);
      code = file[i].flush();
    }
    if (code == 0) return true;
    error = "...system error" + std::to_string(code) + " on saving " + p;
    rollback();
    return false;
  }
  void rollback() {
    for (int i = 0; i < FILES; ++i) {
      if (!open[i]) continue;
      file[i].rollback();  // a file this run created is removed again
      open[i] = false;
    }
  }
  bool close() {
    for (int i = 0; i < FILES; ++i) {
      if (!open[i]) continue;
      open[i] = false;
      if (int code = file[i].commit()) {
        error = "...system error" + std::to_string(code) + " on saving " + path[i];
        return false;
      }
    }
    return true;
  }
};

// The report texts (BLOCK: the number blocks) of every run of SETS for the
// files the menu command appends to, once for indices that share one.
std::string fileReports(const std::vector<CLISETTYP>& sets, bool block, int prec) {
  std::string text;
  for (const CLISETTYP& set : sets) {
    std::vector<REPORTPROC> written;
    for (const CLIRUNTYP& run : set.RUNS) {
      const REPORTPROC proc = block ? run.KIND->BLOCK : run.KIND->TEXT;
      if (std::find(written.begin(), written.end(), proc) != written.end()) continue;
      written.push_back(proc);
      text += REPORTSTRING(run.R, run.KIND->PIVOTS, proc, prec);
    }
  }
  return text;
}

}  // namespace

bool WRITEOUTPUTS(const ARGSTYP& a, const std::vector<CLISETTYP>& sets, const SETTINGSTYP& S,
                  const std::string& text, const std::string& plot, FAILTYP& F) {
  FILESTYP files;
  if (!a.OUTPUT.empty() && !files.write(0, a.OUTPUT, text, "", true))
    return FAIL(F, EXITREFUSED, files.error);
  if (a.FILES) {
    const RUNTYP& first = sets[0].RUNS[0].R;
    const std::string base = S.OUTPUTFILE ? first.NAME : S.NAMEOUT;
    if (!files.write(1, base + ".out", fileReports(sets, false, 4), REPORTHEADER(first), false))
      return FAIL(F, EXITREFUSED, files.error);
    if (S.OUTPUTTAB == 1 &&
        !files.write(2, base + ".ouu", fileReports(sets, true, S.PREC), "", false))
      return FAIL(F, EXITREFUSED, files.error);
  }
  if (!a.PLOT.empty() && a.PLOT != "-" && !files.write(3, a.PLOT, plot, "", true))
    return FAIL(F, EXITREFUSED, files.error);
  // Standard output goes first, while the files can still be rolled back:
  // a full disk or a closed pipe there leaves every file as it was. It gets
  // the table, or with --output FILE --plot - the picture.
  const std::string* shown = a.OUTPUT.empty() ? &text : a.PLOT == "-" ? &plot : nullptr;
  if (shown) {
    errno = 0;
    if (std::fwrite(shown->data(), 1, shown->size(), stdout) != shown->size() ||
        std::fflush(stdout) != 0) {
      const int code = errno != 0 ? errno : EIO;
      files.rollback();
      // A reader that has had enough (head) ends the run quietly.
      if (code == EPIPE) plat::endByClosedPipe();
      return FAIL(F, EXITREFUSED,
                  "...system error" + std::to_string(code) + " on saving standard output");
    }
  }
  if (!files.close()) return FAIL(F, EXITREFUSED, files.error);
  return true;
}

bool OUTPUTFITS(const std::string& option, const std::string& path, const LOADEDTYP& L,
                FAILTYP& F) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return true;
  for (const std::string& input : L.INPUTS)
    if (std::filesystem::is_regular_file(input, ec) && std::filesystem::equivalent(path, input, ec))
      return USAGE(F, option + " " + path + ": the run reads this file");
  return true;
}

bool PLOTFITS(const ARGSTYP& a, FAILTYP& F) {
  if (a.PLOT == "-" && a.OUTPUT.empty())
    return USAGE(F,
                 "--plot -: standard output gets the table; with --output FILE it gets the "
                 "picture");
  return true;
}

namespace {

// Whether paths A and B name one file: the same path once links and ".."
// are resolved, or two names (hard links) of an existing file.
// NAME made absolute, its links followed and "." and ".." taken out.
std::filesystem::path resolved(const std::string& name, std::error_code& ec) {
  namespace fs = std::filesystem;
  fs::path path = fs::absolute(name, ec);
  // A link to a file not yet there is followed by hand, which
  // weakly_canonical does not do for a last component that does not exist.
  for (int links = 0; !ec && links < 40; ++links) {
    std::error_code missing;  // a path not there is no error here
    if (!fs::is_symlink(fs::symlink_status(path, missing))) break;
    const fs::path target = fs::read_symlink(path, ec);
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return ec ? path : fs::weakly_canonical(path, ec);
}

bool sameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ea, eb;
  const fs::path x = resolved(a, ea), y = resolved(b, eb);
  if (!ea && !eb && x == y) return true;
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

}  // namespace

bool OUTPUTSAPART(const ARGSTYP& a, const SETTINGSTYP& S, const std::string& GAMENAME, FAILTYP& F) {
  std::vector<std::pair<std::string, std::string>> outputs;  // option, file
  if (!a.OUTPUT.empty() && a.OUTPUT != "-") outputs.emplace_back("--output", a.OUTPUT);
  if (a.FILES) {
    const std::string base = S.OUTPUTFILE ? GAMENAME : S.NAMEOUT;
    outputs.emplace_back("--files", base + ".out");
    if (S.OUTPUTTAB == 1) outputs.emplace_back("--files", base + ".ouu");
  }
  if (!a.PLOT.empty() && a.PLOT != "-") outputs.emplace_back("--plot", a.PLOT);
  for (std::size_t i = 0; i < outputs.size(); ++i)
    for (std::size_t j = i + 1; j < outputs.size(); ++j)
      if (sameFile(outputs[i].second, outputs[j].second))
        return USAGE(F, outputs[j].first + " " + outputs[j].second + ": " + outputs[i].first +
                            " writes " + outputs[i].second + ", the same file");
  return true;
}
