// every_token [MODEL]: reads the model (rateA.dat by default) whole and
// converts every token with fast_float's from_chars, writing nothing; the
// baseline bench/instructions.sh sets beside a whole run. Exit status 0 when
// at least one token converted.
#include <cstdio>
#include <vector>

#include "every_token.h"

int main(int argc, char** argv) {
  std::FILE* in = std::fopen(argc > 1 ? argv[1] : "rateA.dat", "rb");
  if (in == nullptr || std::fseek(in, 0, SEEK_END) != 0) return 2;
  const long size = std::ftell(in);
  if (size <= 0 || std::fseek(in, 0, SEEK_SET) != 0) return 2;
  std::vector<char> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size()) return 2;
  std::fclose(in);
  const bench::TokenSum total = bench::convertEveryToken(bytes.data(), bytes.data() + bytes.size());
  volatile double sum = total.sum;  // the values are used
  (void)sum;
  return total.converted > 0 ? 0 : 1;
}
