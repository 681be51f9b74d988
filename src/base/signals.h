// The process's answers to interrupts, termination requests and fatal signals.
#pragma once

namespace slip {

// Installs the handlers: "Floating Exception" and "IOT Trap" end the process
// abnormally, "Interrupt" and "Killed" with exit status 1; each first writes
// out and cuts the report as far as it was written.
void installSignalHandlers();

}  // namespace slip
