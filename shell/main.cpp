#include "platform/program.h"
#include "shell/vkx.h"
#include "types/vkxdecl.h"

int main(int argc, char** argv) {
  // The help file and the default settings live beside the executable.
  DEFAULTPATH = plat::executableDir();
  VKXPATH = DEFAULTPATH;
  return VKX_MAIN(argc, argv);
}
