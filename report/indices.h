// The indices the front ends offer, each by its report unit: the command
// line's commands, names, columns and JSON keys come from this list.
#pragma once

#include <string_view>
#include <vector>

#include "report/report.h"

// Every index in the order of the command line's help.
const std::vector<const REPORTKINDTYP*>& INDICES();
// The index named NAME, or null.
const REPORTKINDTYP* INDEXNAMED(std::string_view NAME);
