#include "report/field_editor.h"

namespace slip {

void editInteger(int, int w, char* out) {
  for (int i = 0; i < w; ++i) out[i] = '*';
}
void editFixed(double, int w, int, char* out) {
  for (int i = 0; i < w; ++i) out[i] = '*';
}

}  // namespace slip
