// The spine of one run: start-up, the four phases in order, and the exit.
#pragma once

namespace slip {

struct SubfaultGrid;

class RunDriver {
 public:
  // Runs the whole job in the working directory and ends the process: exit
  // status 0 after a complete report; failures never come back here.
  [[noreturn]] static void run(int argc, char** argv);

  // The process start-up every run needs: floating-point environment,
  // signal handlers, unit table, closing of units at exit.
  static void startUp();

  // The main sequence of one run on `grid`, from reading the model file in
  // the working directory to closing the report.
  static void runOnce(SubfaultGrid& grid);
};

}  // namespace slip
