// `sayvane-tool simulate`: runs the program headless on the simulated platform, driven by a
// script of user actions, and prints every effect on the desktop one a line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/CodePage936.h"

namespace sayvane::sim {

// `args` are those after "simulate": the program folder and the options. Exit status: 0 when
// the script ran to its end or the program quit, 2 for bad arguments or a script line that
// cannot be understood.
int runSimulation(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                  CodePage936& codePage);

}  // namespace sayvane::sim
