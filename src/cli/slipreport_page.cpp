#include "cli/slipreport_page.h"

namespace slip::cli {

const Program kSlipreportProgram = {
    "slipreport",
    "",
    0,
    "Reads the slip-rate model rateA.dat of a finite-fault inversion from the\n"
    "working directory: 22 rows down dip by 43 columns along strike of\n"
    "subfaults, each with two header records (its position, then its rupture\n"
    "time) and two 49-sample slip-rate series, along rakes of 35 and 125\n"
    "degrees. Writes the comma-separated report rateA-out4.csv beside it: the\n"
    "total slip, rake, slip components, rupture time, distance and position of\n"
    "every subfault. It takes no arguments (any given are ignored), reads no\n"
    "environment and prints nothing when it succeeds.\n"
    "\n"
    "A failure stops the run with a few lines on standard error, the first\n"
    "saying what failed, for example:\n"
    "  open: No such file or directory   there is no rateA.dat here\n"
    "  list in: end of file              the model ends before all 946 subfaults\n"
    "  invalid number: incomprehensible list input\n"
    "                                    a value that is not a number\n"
    "slipcheck says where such a model goes wrong, to the line and column.\n",
    {},
    "exit status: 0 when the report is written; a failure ends the run\n"
    "abnormally (SIGABRT); an interrupt (SIGINT) or SIGTERM ends it with 1.\n",
    "write the report of a finite-fault slip-rate model",
    false,
};

}  // namespace slip::cli
