// slipmap's whole run: the command line, the report, the figure, the exit status.
#pragma once

namespace slip::map {

int runSlipmap(int argc, char** argv);

}  // namespace slip::map
