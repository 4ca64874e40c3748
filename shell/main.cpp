#include "platform/program.h"
#include "shell/vkx.h"

int main(int argc, char** argv) {
  // The help file and the default settings live beside the executable.
  DEFAULTPATH = plat::executableDir();
  return VKX_MAIN(argc, argv);
}
