#include "shell/menus.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "data/settings.h"
#include "frame/window.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "testkit.h"
#include "types/vkxdecl.h"

namespace {

using testkit::SETTINGS;

// The settings the configuration file can change, as one comparable text.
std::string settings() {
  return "path=" + SETTINGS.VKXPATH + " tab=" + std::to_string(SETTINGS.OUTPUTTAB) +
         " prec=" + std::to_string(SETTINGS.PREC) + " back=" + std::to_string(SETTINGS.BACKCOL1) +
         " menu=" + std::to_string(SETTINGS.BACKCOL2) +
         " text=" + std::to_string(SETTINGS.TEXTCOL) +
         " internal=" + std::to_string(SETTINGS.INTERNAL) + " weights=" + SETTINGS.WEIGHTS;
}

TEST(ConfigurationLine, EachLineSetsAtMostOneSetting) {
  const auto prec = [] { return std::to_string(SETTINGS.PREC); };
  const auto tab = [] { return std::to_string(SETTINGS.OUTPUTTAB); };
  const auto back = [] { return std::to_string(SETTINGS.BACKCOL1); };
  const auto text = [] { return std::to_string(SETTINGS.TEXTCOL); };
  const auto internal = [] { return std::to_string(SETTINGS.INTERNAL); };
  const auto weights = [] { return SETTINGS.WEIGHTS; };
  const auto path = [] { return SETTINGS.VKXPATH; };
  struct Case {
    std::vector<std::string> lines;
    std::function<std::string()> field;
    std::string expected;
  } cases[] = {
      {{"precision=12"}, prec, "12"},
      {{"precision=13"}, prec, "4"},
      {{"precision=0"}, prec, "4"},
      {{"precision= 7 "}, prec, "7"},
      {{"Precision= 7 "}, prec, "4"},
      {{"precision =7"}, prec, "4"},
      {{" precision=7"}, prec, "4"},
      {{"precision=7\t"}, prec, "4"},
      {{"precision=$0a"}, prec, "10"},
      {{"precision 7"}, prec, "4"},
      {{"precision=5", "precision=6"}, prec, "6"},
      {{"precision=5", "precision=99"}, prec, "5"},
      {{"outputtab=1"}, tab, "1"},
      {{"outputtab=2"}, tab, "0"},
      {{"backcol=0"}, back, "0"},
      {{"backcol=16"}, back, "1"},
      {{"menuecol=12"}, [] { return std::to_string(SETTINGS.BACKCOL2); }, "12"},
      {{"textcol=-1"}, text, "15"},
      {{"textcol=14"}, text, "14"},
      {{"version=internal "}, internal, "1"},
      {{"version=Internal"}, internal, "0"},
      {{"version=internal", "version=external"}, internal, "1"},
      {{"weights=longinteger"}, weights, "longinteger"},
      {{"weights=LongInteger"}, weights, "integer"},
      {{"vkxpath="}, path, ""},
      {{"vkxpath=/opt/a=b/  "}, path, "/opt/a=b/"},
      {{"vkxpath=/x/", "vkxpath=/y/"}, path, "/y/"},
  };
  for (const Case& c : cases) {
    testkit::start();
    SETTINGS.VKXPATH = "/start/";
    for (const std::string& line : c.lines) INILINE(SETTINGS, line);
    EXPECT_EQ(c.field(), c.expected) << c.lines.front();
  }
}

TEST(ConfigurationLine, UnknownAndMalformedLinesChangeNothing) {
  for (const char* line : {"", "=", "colour=3", "precision", "PRECISION=3", "=precision=3",
                           "backcol=x1", "textcol=", "version=", "weights=integer "}) {
    testkit::start();
    const std::string before = settings();
    INILINE(SETTINGS, line);
    EXPECT_EQ(settings(), before) << '"' << line << '"';
  }
}

TEST(ConfigurationLine, MenuColourTwelveShowsAsRedBar) {
  testkit::start();
  INILINE(SETTINGS, "menuecol=12");
  MAINMENUE(SETTINGS);
  EXPECT_EQ((testkit::attr(2, 1) >> 4) & 7, 4);
  EXPECT_EQ((testkit::attr(40, 1) >> 4) & 7, 4);
}

// Restores PATH whatever a test sets it to.
struct PathGuard {
  std::string saved;
  bool had;
  PathGuard() {
    const char* p = std::getenv("PATH");
    had = p != nullptr;
    if (p) saved = p;
  }
  ~PathGuard() {
    if (had)
      setenv("PATH", saved.c_str(), 1);
    else
      unsetenv("PATH");
  }
};

TEST(ConfigurationLookup, CurrentFolderThenPathInOrderRegularFilesOnly) {
  struct Case {
    std::vector<std::string> files;  // folders ending in "/" are made as folders
    std::string path;                // "@" stands for the scratch folder
    std::string found;               // "@" likewise; "" = none
  } cases[] = {
      {{"vkx.ini", "a/vkx.ini"}, "@/a", "vkx.ini"},
      {{"a/vkx.ini", "b/vkx.ini"}, "@/b:@/a", "@/b/vkx.ini"},
      {{"b/vkx.ini"}, "@/a/:@/b/", "@/b/vkx.ini"},
      {{"b/vkx.ini"}, "::@/a::@/b:", "@/b/vkx.ini"},
      {{"vkx.ini/", "a/vkx.ini/", "b/vkx.ini"}, "@/a:@/b", "@/b/vkx.ini"},
      {{"a/other.ini"}, "@/a", ""},
      {{}, "", ""},
  };
  for (const Case& c : cases) {
    testkit::TempDir dir;
    auto expand = [&](std::string s) {
      for (std::size_t at; (at = s.find('@')) != std::string::npos;) s.replace(at, 1, dir.path);
      return s;
    };
    for (const std::string& f : c.files) {
      std::size_t slash = f.find('/');
      if (slash != std::string::npos) mkdir(dir.file(f.substr(0, slash)).c_str(), 0755);
      if (f.back() == '/')
        mkdir(dir.file(f).c_str(), 0755);
      else
        testkit::writeFile(dir.file(f), "precision=9\n");
    }
    EXPECT_EQ(INIFIND(expand(c.path)), expand(c.found)) << c.path;
  }
}

TEST(ConfigurationLookup, FolderOfTheFileBecomesTheHelpFolder) {
  PathGuard guard;
  struct Case {
    bool local;        // a vkx.ini in the current folder
    bool inPath;       // one in folder "cfg" named by PATH
    std::string body;  // contents of each
    std::string expected;
  } cases[] = {
      {true, true, "precision=9\r\n", "path= tab=0 prec=9"},
      {false, true, "precision=9\r\nbackcol=3", "path=@/cfg/ tab=0 prec=9 back=3"},
      {true, false, "vkxpath=/help/\ntextcol=2\n", "path=/help/ tab=0 prec=4 back=1 menu=8 text=2"},
      {false, false, "precision=9", "path=/default/ tab=0 prec=4"},
      {true, false, "", "path= tab=0 prec=4"},
  };
  for (const Case& c : cases) {
    testkit::TempDir dir;
    testkit::start();
    SETTINGS.VKXPATH = "/default/";
    mkdir(dir.file("cfg").c_str(), 0755);
    if (c.local) testkit::writeFile(dir.file("vkx.ini"), c.body);
    if (c.inPath) testkit::writeFile(dir.file("cfg/vkx.ini"), c.body);
    setenv("PATH", ("/nonexistent:" + dir.path + "/cfg").c_str(), 1);
    INIDATA(SETTINGS);
    std::string expected = c.expected;
    if (std::size_t at = expected.find('@'); at != std::string::npos)
      expected.replace(at, 1, dir.path);
    EXPECT_EQ(settings().substr(0, expected.size()), expected) << c.body;
  }
}

TEST(ConfigurationLookup, UnreadableFileKeepsTheInitialSettingsButNotThePath) {
  PathGuard guard;
  testkit::TempDir dir;
  testkit::start();
  testkit::writeFile(dir.file("vkx.ini"), "precision=9\n");
  setenv("PATH", "", 1);
  SETTINGS.VKXPATH = "/default/";
  plat::faults.openRead = 13;
  INIDATA(SETTINGS);
  EXPECT_EQ(SETTINGS.VKXPATH, "");
  EXPECT_EQ(SETTINGS.PREC, 4);
}

// Which submenu box the screen shows: 0 none, 1..3, or -1 for a mix.
int boxOnScreen() {
  struct Box {
    int x1, y1, x2, y2;
  } boxes[3] = {{1, 2, 12, 7}, {7, 2, 31, 6}, {16, 2, 26, 5}};
  int found = 0;
  for (int k = 0; k < 3; ++k) {
    const Box& b = boxes[k];
    bool drawn = con::cell(b.x1, b.y1).ch == con::cp437(218) &&
                 con::cell(b.x2, b.y1).ch == con::cp437(191) &&
                 con::cell(b.x1, b.y2).ch == con::cp437(192) &&
                 con::cell(b.x2, b.y2).ch == con::cp437(217);
    if (drawn) found = found ? -1 : k + 1;
  }
  for (int y = 2; y <= 25; ++y)
    for (int x = 1; x <= 80; ++x)
      if (con::cell(x, y).ch == con::cp437(218) && found <= 0) return -1;
  return found;
}

// Runs the menu loop on KEYS until it quits (true) or asks for more keys.
bool runMenu(const std::string& keys) {
  testkit::start(keys);
  OLDKEY = SUBMENUTYP::NONE;
  try {
    MENULOOP(SETTINGS);
    return true;
  } catch (const testkit::KeysExhausted&) {
    return false;
  }
}

TEST(MenuLoop, SubmenuKeysArrowsAndEsc) {
  struct Case {
    std::string keys;
    int open;  // OLDKEY afterwards, and the box on screen
  } cases[] = {
      {"d", 1},       {"c", 2},       {"o", 3},       {"dco", 3},     {"d\x1b[C", 2},
      {"c\x1b[C", 3}, {"o\x1b[C", 1}, {"d\x1b[D", 3}, {"c\x1b[D", 1}, {"o\x1b[D", 2},
      {"\x1b[C", 0},  {"\x1b[D", 0},  {"c\x1b[A", 2}, {"c\x1b[B", 2}, {"d\x1b", 0},
      {"\x1b", 0},    {"dD", 1},      {"D", 0},       {"C", 0},       {"o\x1b[D\x1b[D\x1b[D", 3},
      {"ce", 2},      {"c4", 2},      {"1", 0},       {"e", 0},       {"q", 0},
      {"cq", 2},      {"oq", 3},      {"d1f", 1},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(runMenu(c.keys)) << c.keys;
    EXPECT_EQ(static_cast<int>(OLDKEY), c.open) << c.keys;
    EXPECT_EQ(boxOnScreen(), c.open) << c.keys;
    EXPECT_EQ(testkit::row(1).substr(0, 22), "data  compute  options") << c.keys;
  }
}

TEST(MenuLoop, KeyLettersOfBarAndSubmenusAreBright) {
  struct Case {
    std::string keys;
    std::vector<int> rows;
    std::vector<int> letters;  // columns of the key letters on each of ROWS
    int lastColumn;            // last column of the labels
  } cases[] = {
      {"", {1}, {1, 7, 16}, 22},
      {"d", {3, 4, 5, 6}, {2}, 11},
      {"c", {3, 4, 5}, {8}, 30},
      {"o", {3, 4}, {17}, 25},
  };
  for (const Case& c : cases) {
    runMenu(c.keys);
    for (int y : c.rows)
      for (int x = c.letters.front(); x <= c.lastColumn; ++x) {
        const bool letter = std::find(c.letters.begin(), c.letters.end(), x) != c.letters.end();
        EXPECT_EQ((testkit::attr(x, y) & 0x08) != 0, letter) << c.keys << " at " << x << "," << y;
      }
  }
}

TEST(MenuLoop, CommandKeysRunTheCommandOfTheOpenSubmenu) {
  struct Case {
    std::string keys;
    std::string title;
  } cases[] = {
      {"de", "edit data"}, {"dl", "list file"}, {"dp", "print file"},
      {"c1", "shapley"},   {"c2", "banzhaf"},   {"c3", "public good"},
      {"of", "file/path"}, {"oi", "info/help"}, {"c\x1b[Ci", "info/help"},
  };
  for (const Case& c : cases) {
    runMenu(c.keys);
    // Every command draws the frame (1,2)-(80,24) with its title inside.
    EXPECT_EQ(con::cell(1, 2).ch, con::cp437(218)) << c.keys;
    EXPECT_EQ(con::cell(80, 24).ch, con::cp437(217)) << c.keys;
    EXPECT_NE(testkit::row(3).find(c.title), std::string::npos)
        << c.keys << ": " << testkit::row(3);
  }
}

TEST(MenuLoop, QuitOnlyFromTheDataSubmenuAndLeavesABlankGreyScreen) {
  EXPECT_TRUE(runMenu("dq"));
  EXPECT_TRUE(runMenu("o\x1b[Cq"));
  for (int y = 1; y <= 25; ++y)
    for (int x = 1; x <= 80; ++x) {
      ASSERT_EQ(con::cell(x, y).ch, ' ');
      ASSERT_EQ(con::cell(x, y).attr, 0x07);
    }
  EXPECT_EQ(testkit::keysLeft(), 0u);
  EXPECT_TRUE(runMenu("dqxyz"));
  EXPECT_EQ(testkit::keysLeft(), 3u);  // nothing is read after the quit
  EXPECT_FALSE(runMenu("d\x1bq"));
  EXPECT_FALSE(runMenu("Q"));
}

TEST(StartScreen, TitleCreditsAndBars) {
  testkit::start("x");
  con::textBackground(SETTINGS.BACKCOL1);
  con::textColor(SETTINGS.TEXTCOL);
  STARTPIC(SETTINGS);
  EXPECT_EQ(testkit::keysLeft(), 1u);  // the key that ends it stays unread
  EXPECT_EQ(testkit::row(7), "                     VKX 2.0 - Verkanix V2.0 R5/05");
  for (int y = 8; y <= 11; ++y) {
    const std::string r = testkit::row(y);
    const std::size_t lead = r.find_first_not_of(' ');
    ASSERT_NE(lead, std::string::npos) << y;
    const std::size_t trail = 80 - r.size();
    EXPECT_LE(lead > trail ? lead - trail : trail - lead, 1u) << "row " << y << " not centred";
  }
  EXPECT_EQ(testkit::row(12), "");
  for (int y : {5, 13}) {
    for (int x = 1; x <= 80; ++x) {
      const bool bar = x >= 17 && x <= 64;
      EXPECT_EQ(((testkit::attr(x, y) >> 4) & 7) == 7, bar) << x << "," << y;
    }
  }
  // Text in the text colour without its bright bit, on the work background.
  EXPECT_EQ(testkit::attr(30, 7), 0x17);
  EXPECT_EQ(testkit::row(1).substr(0, 22), "data  compute  options");
  EXPECT_EQ(con::windMaxY(), 20);
  EXPECT_EQ(con::windMaxX(), 80);
}

int clockCalls = 0;
std::vector<int> clockSeconds;

plat::Stamp scriptedClock() {
  int i = clockCalls++;
  int s = i < static_cast<int>(clockSeconds.size()) ? clockSeconds[i] : -1;
  return plat::Stamp{14, 5, s, 0, 2026, 12, 7, 1};
}

TEST(StartScreen, HoldEndsWhenTheSecondsReachTheTarget) {
  struct Case {
    std::vector<int> seconds;  // what the clock shows, call after call
    int calls;                 // calls until the hold ends
  } cases[] = {
      {{10, 10, 11, 11, 12, 13}, 5},     {{55, 56, 57}, 3},
      {{56, 57, 58, 59, 0, 1, 2, 3}, 7},  // late in a minute: six seconds
      {{57, 58, 59, 0, 1, 2, 3, 4}, 7},  {{59, 0, 1, 2, 3, 4, 5}, 7},
  };
  for (const Case& c : cases) {
    testkit::start("x");
    plat::skipPauses = false;
    clockSeconds = c.seconds;
    clockCalls = 0;
    plat::setClock(scriptedClock);
    STARTPIC(SETTINGS);
    EXPECT_EQ(clockCalls, c.calls) << c.seconds.front();
  }
  plat::setClock(nullptr);
}

TEST(StartUp, KeyOfTheStartScreenActsAtOnceAndColoursComeFromTheFile) {
  PathGuard guard;
  testkit::TempDir dir;
  testkit::writeFile(dir.file("vkx.ini"), "menuecol=2\nbackcol=4\n");
  setenv("PATH", "", 1);
  testkit::start("d");
  EXPECT_THROW(VKX(SETTINGS), testkit::KeysExhausted);
  EXPECT_EQ(OLDKEY, SUBMENUTYP::DATA);
  EXPECT_EQ(boxOnScreen(), 1);
  EXPECT_EQ(testkit::screen().find("Verkanix"), std::string::npos);  // start screen gone
  EXPECT_EQ((testkit::attr(40, 1) >> 4) & 7, 2);
  EXPECT_EQ((testkit::attr(40, 10) >> 4) & 7, 4);
  EXPECT_EQ(SETTINGS.VKXPATH, "");

  testkit::start("xdq");
  VKX(SETTINGS);  // returns on quit
  EXPECT_EQ(testkit::screen(), std::string(25, '\n'));
}

}  // namespace
