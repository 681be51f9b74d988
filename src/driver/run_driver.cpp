#include "driver/run_driver.h"

#include <cstdlib>

#include "base/grid.h"
#include "base/platform.h"
#include "base/signals.h"
#include "base/units.h"
#include "compose/slip_composer.h"
#include "input/model_reader.h"
#include "report/report_writer.h"

namespace slip {
namespace {

// The one grid of the run, zero from the start and never freed.
constinit SubfaultGrid theGrid;

void closeAllUnitsAtExit() { closeAllUnits(); }

}  // namespace

void RunDriver::startUp() {
  platform::routeArithmeticFaults();
  platform::resetFloatingPoint();
  installSignalHandlers();
  // The unit table starts with every unit unconnected; the standard streams
  // are never units of the run.
  std::atexit(closeAllUnitsAtExit);
}

void RunDriver::run(int, char**) {
  startUp();
  runOnce(theGrid);
  std::exit(0);
}

void RunDriver::runOnce(SubfaultGrid& grid) {
  grid.nw = kGridRows;
  grid.nl = kGridColumns;
  readModelFile(grid);
  composeGrid(grid);
  openUnit(12, "rateA-out4.csv", "unknown");
  writeReport(grid);
  closeUnit(12);
}

}  // namespace slip
