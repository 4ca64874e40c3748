#include "platform/console.h"

int main() {
  con::reset();
  return 0;
}
