// What a new user meets first, driven through the real program in scripted
// mode: text beyond ASCII in names and files, the NUL key, the editor with
// large unweighted chambers, printing without a printer, and the help text.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "testkit.h"

namespace {

struct File {
  std::string name, bytes;
};

struct Case {
  const char* what;
  std::vector<File> before;                // files in the folder before the run
  std::string keys;                        // from the menu loop on
  std::vector<std::string> shown;          // each somewhere on the final screen
  std::vector<File> after = {};            // files as the run leaves them
  std::vector<std::string> notShown = {};  // nowhere on the screen
  std::string env = "";
};

const std::string UNWEIGHTED_100_60 = "0\r\n2\r\n100\r\n60\r\n";

TEST(EverydayEndToEnd, NamesTextKeysAndMessages) {
  const Case cases[] = {
      {"a UTF-8 name is typed, shown and used as it is",
       {},
       "deBundesrat_\xC3\xA4\r0\r0\r",
       {"data file: Bundesrat_\u00E4", "...creating data file Bundesrat_\u00E4.inp"},
       {{"Bundesrat_\xC3\xA4.inp",
         "0  {datastructure unweighted} \r\n0  {number of subgames}\r\n"}}},
      {"one Backspace removes a whole character",
       {},
       "dede\xC3\xA4\bx\r0\r0\r",
       {"data file: dex", "...creating data file dex.inp"},
       {{"dex.inp", "0  {datastructure unweighted} \r\n0  {number of subgames}\r\n"}}},
      {"an ill-formed byte shows as U+FFFD and stays out of the file name",
       {},
       "dede\xE4\r0\r0\r",
       {"data file: de\uFFFD", "...creating data file de.inp"},
       {{"de.inp", "0  {datastructure unweighted} \r\n0  {number of subgames}\r\n"}}},
      {"list file shows UTF-8 lines as their characters",
       {{"u.txt",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x80\x93 \xE2\x82\xAC 5\r\nde\xE4\r\n"}},
       "dlu.txt\rab",
       {"\u2502Gr\u00FC\u00DFe \u2013 \u20AC 5", "\u2502de\uFFFD"}},
      {"NUL (Ctrl-Space) does nothing and swallows no key",
       {},
       std::string("d\0e", 3),
       {"edit data", "data file:"}},
      {"NUL at a prompt does nothing either",
       {},
       std::string("deab") + '\0' + "c\r0\r0\r",
       {"data file: abc"},
       {{"abc.inp", "0  {datastructure unweighted} \r\n0  {number of subgames}\r\n"}}},
      {"unweighted chambers of 100 and 60 members pass the editor with Enter",
       {{"big.inp", UNWEIGHTED_100_60}},
       "debig\r\r\r\r\r",
       {"number of players (subgame 1): 100", "number of players (subgame 2): 60"},
       {{"big.inp",
         "0  {datastructure unweighted} \r\n2  {number of subgames}\r\n"
         "100  {number of players subgame 1}\r\n60  {number of players subgame 2}\r\n"}},
       {"not allowed"}},
      {"printing without a printer command says how to name one",
       {{"t.txt", "x\r\n"}},
       "dpt.txt\r",
       {"...system error 127 on printing t.txt",
        "...no printer command found; the environment variable VKX_PRINTER names one"},
       {},
       {},
       "PATH=/nonexistent"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testkit::TempDir dir;
    for (const File& f : c.before) testkit::writeFile(f.name, f.bytes);
    const testkit::ProgramRun r = testkit::runProgram(c.keys, c.env);
    EXPECT_EQ(r.status, 0);
    for (const std::string& s : c.shown)
      EXPECT_NE(r.screen.find(s), std::string::npos) << s << "\n" << r.screen;
    for (const std::string& s : c.notShown)
      EXPECT_EQ(r.screen.find(s), std::string::npos) << s << "\n" << r.screen;
    for (const File& f : c.after) EXPECT_EQ(testkit::readFile(f.name), f.bytes) << f.name;
    std::vector<std::string> expected = {"keys"};
    for (const File& f : c.before) expected.push_back(f.name);
    for (const File& f : c.after) expected.push_back(f.name);
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    EXPECT_EQ(testkit::folderFiles(dir.path), expected) << "no other file was made";
  }
}

TEST(EverydayEndToEnd, HelpTextFitsTheWindowAndSaysHowAListingEnds) {
  std::ifstream help(std::string(VKX_SOURCE_DIR) + "/shell/vkx.hlp", std::ios::binary);
  std::string line, text;
  while (std::getline(help, line)) {
    EXPECT_LE(utf8::decode(line).size(), 78u) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    text += line + "\n";
  }
  EXPECT_EQ(text.find("a least"), std::string::npos);
  EXPECT_NE(text.find("at least a given number\n  of members"), std::string::npos);
  EXPECT_NE(text.find("three more key presses"), std::string::npos);
}

}  // namespace
