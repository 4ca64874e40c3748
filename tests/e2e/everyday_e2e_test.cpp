// What a new user meets first, through the real program in scripted mode:
// names beyond ASCII from the keyboard to the file name, the NUL key, and the
// help text.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "testkit.h"

namespace {

TEST(EverydayEndToEnd, TypedNamesBecomeFileNames) {
  struct Case {
    std::string keys;  // from the menu loop on; the file is made empty
    const char* shown;
    const char* file;
  } cases[] = {
      {"deBundesrat_\xC3\xA4\r", "data file: Bundesrat_\u00E4", "Bundesrat_\xC3\xA4.inp"},
      {"dede\xC3\xA4\bx\xE4\r", "data file: dex\uFFFD", "dex.inp"},  // one Backspace, one byte
      {std::string("d\0eab\0c\r", 8), "data file: abc", "abc.inp"},  // NUL does nothing
  };
  for (const auto& c : cases) {
    testkit::TempDir dir;
    const testkit::ProgramRun r = testkit::runProgram(c.keys + "0\r0\r");
    EXPECT_NE(r.screen.find(c.shown), std::string::npos) << r.screen;
    EXPECT_EQ(testkit::folderFiles(dir.path), (std::vector<std::string>{c.file, "keys"}));
  }
}

TEST(EverydayEndToEnd, HelpTextFitsTheWindowAndSaysHowAListingEnds) {
  std::ifstream help(std::string(VKX_SOURCE_DIR) + "/shell/vkx.hlp");
  std::string line, text;
  while (std::getline(help, line)) {
    EXPECT_LE(line.size(), 78u) << line;
    text += line + "\n";
  }
  EXPECT_EQ(text.find("a least"), std::string::npos);
  EXPECT_NE(text.find("three more key presses"), std::string::npos);
}

}  // namespace
