#include "cli/cli.h"
#include "console/program.h"
#include "data/settings.h"
#include "platform/files.h"
#include "platform/process.h"
#include "shell/menus.h"

int main(int argc, char** argv) {
  // The help file and the default settings live beside the executable, or,
  // once installed, in the shared data folder beside its bin folder.
  DEFAULTPATH = plat::executableDir();
  const std::string shared = DEFAULTPATH + "../share/vkx/";
  if (!plat::isRegularFile(DEFAULTPATH + "vkx.hlp") && plat::isRegularFile(shared + "vkx.hlp"))
    DEFAULTPATH = shared;
  if (CLIWANTED(argc, argv)) return CLIMAIN(argc, argv);
  return VKX_MAIN(argc, argv);
}
