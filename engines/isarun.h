// The run dialogue of the engines for unweighted chambers: the run-mode
// question, the processing line and the progress line redrawn in place
// around the pure count-vector walk of engines/isacore.h.
#pragma once

#include "engines/isacore.h"

// The whole engine run with its dialogue: the working-plan notice lines,
// "screen control (y/n): " (only a lower-case y turns the progress line on),
// the cleared window with its processing line, the progress line redrawn in
// place, then the sums added to SHAP[d][0], PIV[d][0] (and PIV[d][1] for
// SHAPLEY) and WINSETS and those scaled.
void ISA_SCREEN_RUN(ISAKIND KIND, const ISAGAME& GAME, SHAPTYP& SHAP, SHAPTYP& PIV,
                    double& WINSETS);
