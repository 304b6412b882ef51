// Building the dump commands and the statements that surround a dump.
#include "app/run/dump_command.h"

#include "app/run/run_texts.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

std::int64_t PartCount(std::int64_t rows, std::int64_t rowsPerPart) {
  if (rowsPerPart <= 0) return 1;
  return rows / rowsPerPart + 1;
}

namespace {

// One "--name=value" option; the command file shows some values in quotes.
struct TOption {
  const char* Name;
  AnsiString Value;
  bool Quoted;
};

std::vector<TOption> Options(const TDumpTarget& target, const TDumpPart& part) {
  std::vector<TOption> options;
  if (part.Paged)
    options.push_back({"where", "1 ORDER BY id limit " + IntToStr(part.Offset) + "," + IntToStr(part.Rows), true});
  options.push_back({"host", target.HostName, false});
  options.push_back({"user", target.User, false});
  options.push_back({"password", target.Password, false});
  options.push_back({"port", IntToStr(target.Port), false});
  options.push_back({"result-file", part.ResultFile, true});
  return options;
}

AnsiString OptionText(const TOption& option) { return AnsiString("--") + option.Name + "=" + option.Value; }

// Parts after the first only add rows: a DROP TABLE and CREATE TABLE in them
// would empty what the parts before loaded when the parts are restored in order.
constexpr const char* kRowsOnly = "--no-create-info";
bool RowsOnly(const TDumpPart& part) { return part.Paged && part.Offset > 0; }

}  // namespace

AnsiString DumpArgumentString(const TDumpTarget& target, const TDumpPart& part) {
  AnsiString text = "--compress" + target.ExtraOptions;
  if (RowsOnly(part)) text += AnsiString(" ") + kRowsOnly;
  for (const TOption& option : Options(target, part))
    text += " " + (option.Quoted ? AnsiString("--") + option.Name + "=\"" + option.Value + "\"" : OptionText(option));
  return text + " " + target.Database + " " + part.Table;
}

std::vector<AnsiString> DumpArguments(const AnsiString& program, const TDumpTarget& target, const TDumpPart& part) {
  std::vector<AnsiString> args{program, "--compress"};
  // The extra options are fixed switches without blanks inside their values.
  for (std::size_t start = 0; start < target.ExtraOptions.size();) {
    std::size_t end = target.ExtraOptions.find(' ', start);
    if (end == AnsiString::npos) end = target.ExtraOptions.size();
    if (end > start) args.push_back(target.ExtraOptions.substr(start, end - start));
    start = end + 1;
  }
  if (RowsOnly(part)) args.push_back(kRowsOnly);
  for (const TOption& option : Options(target, part)) args.push_back(OptionText(option));
  // Whatever the names look like, they are never read as options.
  args.push_back("--");
  args.push_back(target.Database);
  args.push_back(part.Table);
  return args;
}

TDumpNames::TDumpNames() : used_{kProtocolFile} {}

AnsiString SafeFileName(const AnsiString& name) {
  AnsiString safe = name;
  for (char& c : safe)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
  if (safe.empty() || safe[0] == '-' || safe[0] == '.') safe.insert(0, 1, '_');
  return safe;
}

AnsiString TDumpNames::Claim(const AnsiString& partName) {
  const AnsiString base = SafeFileName(partName);
  AnsiString name = base + kDumpExtension;
  for (int n = 2; !used_.insert(name).second; ++n) name = base + "~" + IntToStr(n) + kDumpExtension;
  return name;
}

AnsiString TFolderNames::Claim(const AnsiString& database) {
  const AnsiString base = SafeFileName(database);
  AnsiString name = base;
  for (int n = 2; !used_.insert(AnsiUpperCase(name)).second; ++n) name = base + "~" + IntToStr(n);
  return name;
}
