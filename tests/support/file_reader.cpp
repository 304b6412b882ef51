// The file reader of file_reader.h.

#include "tests/support/file_reader.h"

#include <fstream>
#include <iterator>

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
