#include "report/indices.h"

#include "report/banzhaf.h"
#include "report/coleman.h"
#include "report/johnston.h"
#include "report/publicgood.h"
#include "report/rae.h"
#include "report/shapley.h"

const std::vector<const REPORTKINDTYP*>& INDICES() {
  static const std::vector<const REPORTKINDTYP*> list{&SHAPLEYKIND(),    &BANZHAFKIND(),
                                                      &PUBLICGOODKIND(), &COLEMANKIND(),
                                                      &RAEKIND(),        &JOHNSTONKIND()};
  return list;
}

const REPORTKINDTYP* INDEXNAMED(std::string_view NAME) {
  for (const REPORTKINDTYP* kind : INDICES())
    if (NAME == kind->NAME) return kind;
  return nullptr;
}
