// TIniFile: the platform's profile files. Sections in square brackets, lines
// "key=value", section and key names compared without regard to letter case.
// Every write goes to disk before it returns; a new key is appended to its
// section, a new section to the end of the file, and everything else in the
// file is kept. A file is read as Windows-1250 or UTF-8 (ini_encoding.h) and
// written back in the same encoding and line ends (a new file: Windows-1250,
// CR LF), with its permission bits, through a symbolic link to its target.
// A key the plain syntax cannot hold, or a value with a line break, is
// written in quotes with escapes, so that it reads back as it was written.
#pragma once

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

VX_DECLARE_EXCEPTION(EIniFileException, Exception)

class TStrings;

class TIniFile {
public:
  explicit TIniFile(AnsiString file_name);

  const AnsiString& FileName() const { return file_name_; }

  // The value without surrounding blanks and without one pair of enclosing
  // quotes (both double or both single); Default when the key is missing.
  AnsiString ReadString(const AnsiString& section, const AnsiString& ident,
                        const AnsiString& default_value) const;
  // Decimal, or hexadecimal after "0x" or "$"; Default when missing or malformed.
  int ReadInteger(const AnsiString& section, const AnsiString& ident, int default_value) const;
  // An integer value other than 0 is true.
  bool ReadBool(const AnsiString& section, const AnsiString& ident, bool default_value) const;

  // Raise EIniFileException when the file cannot be written.
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value);
  void WriteInteger(const AnsiString& section, const AnsiString& ident, int value);
  void WriteBool(const AnsiString& section, const AnsiString& ident, bool value);  // "1"/"0"

  // The key names of a section, in file order.
  std::vector<AnsiString> SectionKeys(const AnsiString& section) const;
  // The section names, in file order.
  std::vector<AnsiString> SectionNames() const;
  // Clear strings, then fill it with key names, section names or "key=value"
  // lines (values read as ReadString reads them).
  void ReadSection(const AnsiString& section, TStrings& strings) const;
  void ReadSections(TStrings& strings) const;
  void ReadSectionValues(const AnsiString& section, TStrings& strings) const;

  // A section exists when it holds at least one key.
  bool SectionExists(const AnsiString& section) const;
  bool ValueExists(const AnsiString& section, const AnsiString& ident) const;
  void DeleteKey(const AnsiString& section, const AnsiString& ident);
  void EraseSection(const AnsiString& section);
  // Writes are never buffered, so there is nothing to flush.
  void UpdateFile() {}

private:
  AnsiString file_name_;
};
