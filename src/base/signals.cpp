#include "base/signals.h"

#include "base/platform.h"
#include "base/unit_table.h"

namespace slip {
namespace {

// Runs in signal context: only the platform's file calls, write and exit.
void onSignal(platform::Signal signal) {
  using platform::Signal;
  switch (signal) {
    case Signal::FloatingPoint: platform::writeError("Floating Exception\n"); break;
    case Signal::Abort: platform::writeError("IOT Trap\n"); break;
    case Signal::Interrupt: platform::writeError("Interrupt\n"); break;
    case Signal::Terminate: platform::writeError("Killed\n"); break;
  }
  closeAllUnitsFromSignal();
  if (signal == Signal::Interrupt || signal == Signal::Terminate) platform::exitNow(1);
  platform::restoreDefaultAbort();
  platform::abortProcess();
}

}  // namespace

void installSignalHandlers() { platform::installSignalHandlers(onSignal); }

}  // namespace slip
