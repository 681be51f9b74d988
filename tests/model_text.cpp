#include "model_text.h"

#include <memory>

#include "driver/grid.h"
#include "reader_support.h"

namespace slip::testing {

std::string canonicalModel() {
  auto values = std::make_unique<SubfaultGrid>();
  return canonicalModel(*values);
}

}  // namespace slip::testing
