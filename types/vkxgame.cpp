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

const char* METHODNAME(METHODTYP METHOD) {
  switch (METHOD) {
    case METHODTYP::NONE:
      return "none";
    case METHODTYP::WALK:
      return "walk";
    case METHODTYP::SIZEWEIGHTTABLE:
      return "size_weight_table";
    case METHODTYP::WEIGHTTABLE:
      return "weight_table";
    case METHODTYP::DOUBLESTABLE:
      return "doubles_table";
    case METHODTYP::QUADRATURE:
      return "quadrature";
    case METHODTYP::DOUBLEMAJORITYTABLE:
      return "double_majority_table";
    case METHODTYP::DIAGRAM:
      return "decision_diagram";
    case METHODTYP::VECTORWALK:
      return "vector_walk";
    case METHODTYP::CHAMBERPROGRAM:
      return "chamber_program";
    case METHODTYP::SAMPLING:
      return "sampling";
    case METHODTYP::MINIMALPROGRAM:
      return "minimal_program";
    case METHODTYP::POWERSERIES:
      return "power_series";
    case METHODTYP::SPATIALTABLE:
      return "spatial_table";
    case METHODTYP::JOHNSTONTABLE:
      return "johnston_table";
    case METHODTYP::SUBSETHALVES:
      return "subset_halves";
  }
  return "none";
}
