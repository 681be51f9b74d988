// The one way a program reads a model file: opened once and read once, in
// blocks, through the run's reader with slipcheck's checks watching. Every
// finding, the located error included, comes from the bytes as they pass, so
// a pipe, a named pipe and a file of any size read alike in bounded memory.
// slipcheck, slipsource and slipmap all read a model through here.
#pragma once

#include <string>

#include "check/model_check.h"

namespace slip::check {

struct ModelReading {
  bool opened = false;  // false: result.systemError says why the model could not be opened
  CheckResult result;   // with opened, a systemError is a failed read
};

ModelReading readModel(const std::string& name, const CheckOptions& options, Output& out, ReadInto into = {});

}  // namespace slip::check
