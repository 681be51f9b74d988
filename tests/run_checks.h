// GoogleTest checks of a finished run of the tool.
#pragma once

#include <gtest/gtest.h>

#include "tool_runner.h"

namespace slip::testing {

// A complete run: exit status 0 and nothing on either stream.
inline void expectQuietSuccess(const ToolRun& run) {
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

}  // namespace slip::testing
