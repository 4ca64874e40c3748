#include "types/vkxgame.h"

DATASTRUCT DATASTRUCTOF(int32_t CODE) {
  if (CODE == 0) return DATASTRUCT::UNWEIGHTED;
  if (CODE == 1) return DATASTRUCT::WEIGHTED;
  return DATASTRUCT::OTHER;
}

int32_t CODEOF(DATASTRUCT D) { return static_cast<int32_t>(D); }

OVERALLRULE OVERALLOF(int32_t ANSWER) {
  if (ANSWER == 1) return OVERALLRULE::AND;
  if (ANSWER == 2) return OVERALLRULE::OR;
  return OVERALLRULE::NONE;
}
