// The program's folders form layers that include only downward:
//   platform < types < common < data < engines < report < api < cli  (the calculation)
//   < console < frame < dialogue < commands < shell           (the front ends)
// where the engines are layers of their own: walk < convert < exact, sample
// < plan < run.
// Only platform/ and console/ may include the system's terminal, signal and
// process headers. An include against the order fails here, naming it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> LAYERS = {"platform",      "types",          "common",
                                         "data",          "engines/walk",   "engines/convert",
                                         "engines/exact", "engines/sample", "engines/plan",
                                         "engines/run",   "report",         "api",
                                         "cli",           "console",        "frame",
                                         "dialogue",      "commands",       "shell"};

int layerOf(const std::string& folder) {
  for (std::size_t i = 0; i < LAYERS.size(); ++i)
    if (LAYERS[i] == folder) return static_cast<int>(i);
  return -1;
}

TEST(Layers, IncludesRunDownwardOnly) {
  namespace fs = std::filesystem;
  const char* const systemOnly[] = {"<termios.h>", "<poll.h>",  "<signal.h>",
                                    "<unistd.h>",  "<fcntl.h>", "<sys/"};
  int files = 0;
  for (const std::string& folder : LAYERS) {
    for (const auto& entry : fs::directory_iterator(fs::path(VKX_SOURCE_DIR) / folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = folder + "/" + entry.path().filename().string();
      std::ifstream in(entry.path());
      ++files;
      for (std::string line; std::getline(in, line);) {
        if (line.rfind("#include", 0) != 0) continue;
        const std::size_t q = line.find('"'), slash = line.rfind('/');
        if (q != std::string::npos && slash != std::string::npos && slash > q) {
          const std::string to = line.substr(q + 1, slash - q - 1);
          EXPECT_GE(layerOf(to), 0) << name << ": " << line;
          EXPECT_LE(layerOf(to), layerOf(folder)) << name << " reaches up: " << line;
        }
        if (folder == "platform" || folder == "console") continue;
        for (const char* header : systemOnly) {
          EXPECT_EQ(line.find(header), std::string::npos) << name << ": " << line;
        }
      }
    }
  }
  EXPECT_GT(files, 40);  // the folders were found
}

}  // namespace
