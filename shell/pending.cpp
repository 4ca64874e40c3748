// Placeholder definitions that let the program link while its units are
// being written in parallel. Each is weak: the real routine replaces it.
// This file is removed once every unit is in place.
#include "commands/vkxmbanz.h"
#include "commands/vkxmpgi.h"
#include "commands/vkxmshap.h"
#include "common/mathe2.h"
#include "data/vkxdos.h"
#include "data/vkxmedit.h"
#include "data/vkxthres.h"
#include "engines/vkxbanz2.h"
#include "engines/vkxpgi1.h"
#include "engines/vkxpgi2.h"
#include "engines/vkxshap1.h"
#include "engines/vkxshap2.h"
#include "shell/vkxmopti.h"
#include "shell/vkxmprin.h"

#define WEAK __attribute__((weak))

WEAK void MENUE_SHAPLEY() {}
WEAK void MENUE_BANZHAF() {}
WEAK void MENUE_PUBLICGOOD() {}
WEAK void MENUE_EDITDATA() {}
WEAK void MENUE_FILEPATH() {}
WEAK void MENUE_INFO() {}
WEAK void MENUE_LISTFILE() {}
WEAK void MENUE_PRINTFILE() {}
WEAK void READINT(const std::string&, int32_t&) {}
WEAK void READINTLN(const std::string&, int32_t&) {}
WEAK void READLONGINT(const std::string&, int32_t&) {}
WEAK void READLONGINTLN(const std::string&, int32_t&) {}
WEAK void READWEIGHTLN(const std::string&, int32_t&) {}
WEAK void READQUADLN1(GTYP&, uint8_t, uint16_t) {}
WEAK void WRITEQUADLN(const QUADER&, uint8_t) {}
WEAK bool POINTQUAD(const GTYP&, uint8_t, const POINT&, uint8_t) { return false; }
WEAK double DIST(const POSTYP&, uint16_t, uint16_t, uint16_t, uint16_t) { return 0; }
WEAK double DIST_MAX(const POSTYP&, uint16_t, uint16_t) { return 1; }
WEAK double DIST_KOAL(const PERMTYP&, const POSTYP&, uint16_t, uint16_t, uint16_t, double) {
  return 0;
}
WEAK void DATALOAD(const std::string&, int32_t&, uint16_t&, uint16_t&, NNTYP&, GEWTYP&, MEMTYP&,
                   int32_t& FLAG) {
  FLAG = 2;
}
WEAK void DATASAVE(const std::string&, int32_t, uint16_t, const NNTYP&, const GEWTYP&,
                   int32_t& FLAG) {
  FLAG = 5;
}
WEAK void POSITIONLOAD(const std::string&, uint16_t&, uint16_t, POSTYP&, int32_t& FLAG) {
  FLAG = 2;
}
WEAK void THRESHOLD_INPUT(int32_t& THRES, GEWTYP&, GTYP&, int32_t, uint16_t, const NNTYP&,
                          const GEWTYP&) {
  THRES = 1;
}
WEAK void SHAPLEY_WEIGHTED(uint16_t, uint16_t, const NNTYP&, const GEWTYP&, const MEMTYP&,
                           int32_t, const GEWTYP&, uint16_t, SHAPTYP&, SHAPTYP&, double&,
                           uint8_t, const POSTYP&, uint16_t) {}
WEAK void SHAPLEY_WEIGHTED_DOUB(uint16_t, uint16_t, const NNTYP&, const GEWTYP&, const MEMTYP&,
                                int32_t, const GEWTYP&, uint16_t, SHAPTYP&, SHAPTYP&, double&,
                                std::string&) {}
WEAK void PUBLICGOOD_WEIGHTED(uint16_t, uint16_t, const NNTYP&, const GEWTYP&, const MEMTYP&,
                              int32_t, const GEWTYP&, uint16_t, SHAPTYP&, SHAPTYP&, double&) {}
WEAK void PUBLICGOOD_WEIGHTED_DOUB(uint16_t, uint16_t, const NNTYP&, const GEWTYP&,
                                   const MEMTYP&, int32_t, const GEWTYP&, uint16_t, SHAPTYP&,
                                   SHAPTYP&, double&, std::string&) {}
WEAK void SHAPLEY_UNWEIGHTED_ISBA(uint16_t, uint16_t, const NNTYP&, int32_t, const GTYP&,
                                  uint16_t, uint16_t, uint16_t, uint16_t, SHAPTYP&, SHAPTYP&,
                                  double&) {}
WEAK void SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(uint16_t, uint16_t, const NNTYP&, int32_t,
                                              const GTYP&, uint16_t, uint16_t, uint16_t,
                                              uint16_t, SHAPTYP&, SHAPTYP&, double&) {}
WEAK void BANZHAF_UNWEIGHTED_ISBA(uint16_t, uint16_t, const NNTYP&, int32_t, const GTYP&,
                                  uint16_t, uint16_t, uint16_t, uint16_t, SHAPTYP&, SHAPTYP&,
                                  double&) {}
WEAK void PUBLICGOOD_UNWEIGHTED_ISBA(uint16_t, uint16_t, const NNTYP&, int32_t, const GTYP&,
                                     uint16_t, uint16_t, uint16_t, uint16_t, SHAPTYP&,
                                     SHAPTYP&, double&) {}
