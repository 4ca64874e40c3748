#include "platform/files.h"
#include "platform/program.h"
#include "shell/vkx.h"
#include "shell/vkxcli.h"

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
