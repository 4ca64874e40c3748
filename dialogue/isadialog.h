// The run dialogue of the engines for unweighted chambers: the run-mode
// question, the processing line and the progress line redrawn in place
// around the pure count-vector walk of engines/walk/vector_walk.h.
#pragma once

#include <functional>

#include "engines/walk/vector_walk.h"

// The whole engine run with its dialogue: the working-plan notice lines,
// "screen control (y/n): " (only a lower-case y turns the progress line on),
// the cleared window with its processing line, then COUNT with the progress
// hook that redraws the line in place (null in quiet mode), and the closing
// line ends. COUNT runs the engine and keeps its result.
using ISACOUNT = std::function<void(ISAPROGRESS PROGRESS, void* DATA)>;
void ISA_SCREEN_RUN(ISAKIND KIND, const ISACOUNT& COUNT);
// The same run on a count-vector game as the core takes it; returns the
// scaled totals.
ISATOTALS ISA_SCREEN_RUN(ISAKIND KIND, const ISAGAME& GAME);
