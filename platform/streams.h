// The standard streams as the command line sees them: whether standard error
// is a terminal, where a progress bar may be drawn, and how wide it is.
#pragma once

namespace plat {

bool stderrIsTerminal();
// Columns of the terminal on standard error; 80 when it does not say.
int stderrColumns();

}  // namespace plat
