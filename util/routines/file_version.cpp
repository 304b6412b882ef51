// Reading the embedded version block: the ELF section table of the file is
// walked for the version section, whose bytes are checked and copied.
#include "util/routines/file_version.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/rtl/text.h"

namespace {
template <class T>
bool ReadAt(std::ifstream& in, uint64_t offset, T* out, size_t count = 1) {
  in.seekg(std::streamoff(offset));
  return bool(in.read(reinterpret_cast<char*>(out), std::streamsize(sizeof(T) * count)));
}
}  // namespace

bool ReadFixedFileVersion(const AnsiString& fileName, TFixedFileInfo& info) {
  std::ifstream in(AnsiToUtf8(fileName), std::ios::binary);
  Elf64_Ehdr header;
  if (!in || !ReadAt(in, 0, &header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0 ||
      header.e_shstrndx >= header.e_shnum)
    return false;
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  if (!ReadAt(in, header.e_shoff, sections.data(), sections.size())) return false;
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  if (names.sh_size > (1u << 20)) return false;
  std::vector<char> nameTable(names.sh_size + 1, '\0');
  if (!ReadAt(in, names.sh_offset, nameTable.data(), names.sh_size)) return false;
  for (const Elf64_Shdr& s : sections) {
    if (s.sh_name >= names.sh_size || std::strcmp(&nameTable[s.sh_name], kFileVersionSection) != 0) continue;
    TFixedFileInfo found;
    if (s.sh_type == SHT_NOBITS || s.sh_size != sizeof found || !ReadAt(in, s.sh_offset, &found)) return false;
    if (found.dwSignature != 0xFEEF04BD) return false;
    info = found;
    return true;
  }
  return false;
}
