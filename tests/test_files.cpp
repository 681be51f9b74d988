// Whole-file reads and writes for the tests, the same on every platform.
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tool_runner.h"

namespace slip::testing {

void TempDir::write(const std::string& name, const std::string& bytes) const { writeFile(file(name), bytes); }

std::string TempDir::read(const std::string& name) const { return readFile(file(name)); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace slip::testing
