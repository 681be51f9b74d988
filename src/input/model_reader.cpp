#include "input/model_reader.h"

#include "driver/units.h"

namespace slip {

void readModelFile(SubfaultGrid&) {
  openUnit(11, "rateA.dat", "OLD");
  closeUnit(11);
}

}  // namespace slip
