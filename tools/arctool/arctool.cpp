// arctool: the archive library from the shell, so that checks of the ZIP
// files it writes and reads are plain commands.
//   arctool list ARCHIVE
//   arctool add [-m stored|deflated|best] [-o normal|maximum|fast|superfast]
//               [-p PASSWORD] [-s VOLUME_BYTES] [-c COMMENT] ARCHIVE FILE...
//   arctool test [-p PASSWORD] ARCHIVE
//   arctool extract [-p PASSWORD] ARCHIVE FOLDER
// Names cross the command line as UTF-8. Exit status: 0 success, 1 failure,
// 2 wrong usage. A command does all it can and names every failure (archive
// or member, and why) on stderr; one failure anywhere makes the status 1.
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_compress.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "tools/arctool/member_reader.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int32_t kAddAttributes = AbAttrAnyFile;

struct Options {
  AnsiString command;
  std::map<char, AnsiString> flags;
  std::vector<AnsiString> args;  // archive first
};

void PrintLine(const AnsiString& text, FILE* to = stdout) { std::fprintf(to, "%s\n", AnsiToUtf8(text).c_str()); }

// One line per failure: "arctool: WHAT: WHY", a wrapped message's CR LF
// turned into ": " so the line stays one.
void PrintFailure(const AnsiString& what, AnsiString why) {
  for (size_t at; (at = why.find("\r\n")) != AnsiString::npos;) why.replace(at, 2, ": ");
  PrintLine("arctool: " + what + ": " + why, stderr);
}

// The message of the exception being handled, for callbacks that the library
// calls from inside its handler; the class name when it carries none.
AnsiString CurrentFailure() {
  try {
    if (std::current_exception()) throw;
  } catch (const Exception& e) {
    return e.Message().empty() ? AnsiString(e.ClassName()) : e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "unknown error";
}

int Usage() {
  std::fprintf(stderr,
               "usage: arctool list ARCHIVE\n"
               "       arctool add [-m stored|deflated|best] [-o normal|maximum|fast|superfast]\n"
               "                   [-p PASSWORD] [-s VOLUME_BYTES] [-c COMMENT] ARCHIVE FILE...\n"
               "       arctool test [-p PASSWORD] ARCHIVE\n"
               "       arctool extract [-p PASSWORD] ARCHIVE FOLDER\n");
  return kExitUsage;
}

bool Parse(int argc, char** argv, Options& o) {
  if (argc < 3) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (argv[i][0] == '-' && argv[i][1] && !argv[i][2] && i + 1 < argc) {
      o.flags[argv[i][1]] = Utf8ToAnsi(argv[i + 1]);
      ++i;
    } else {
      o.args.push_back(Utf8ToAnsi(argv[i]));
    }
  }
  return !o.args.empty();
}

AnsiString Flag(const Options& o, char name) {
  auto it = o.flags.find(name);
  return it == o.flags.end() ? AnsiString() : it->second;
}

// The library takes an empty file for a new archive; a command that reads one
// has been given something that is not an archive.
std::unique_ptr<TAbZipArchive> OpenArchive(const AnsiString& name, bool create) {
  AnsiString full = ExpandFileName(name);
  bool exists = FileExists(full);
  if (!exists && !create) throw EAbFileNotFound();
  if (exists && !create && FileSize(full) == 0) throw EAbZipInvalid(AbErrorText(AbZipInvalid) + " (empty file)");
  auto archive = std::make_unique<TAbZipArchive>(full, exists ? fmOpenReadWrite | fmShareDenyWrite : fmCreate);
  archive->Load();
  return archive;
}

const char* MethodName(const TAbZipItem& item) {
  switch (item.CompressionMethod()) {
    case 0: return "stored";
    case 8: return "deflated";
    default: return "other";
  }
}

int List(const Options& o) {
  auto archive = OpenArchive(o.args[0], false);
  for (int i = 0; i < archive->Count(); ++i) {
    const TAbZipItem& item = *archive->ZipItems(i);
    uint16_t d = item.GetLastModFileDate(), t = item.GetLastModFileTime();
    char line[160];
    std::snprintf(line, sizeof line, "\t%lld\t%lld\t%08x\t%04d-%02d-%02d %02d:%02d:%02d\t%s%s",
                  static_cast<long long>(item.GetUncompressedSize()), static_cast<long long>(item.GetCompressedSize()),
                  item.GetCRC32(), 1980 + (d >> 9), (d >> 5) & 15, d & 31, t >> 11, (t >> 5) & 63, (t & 31) * 2,
                  MethodName(item), item.GetIsEncrypted() ? "\tencrypted" : "");
    PrintLine(item.GetFileName() + line);
  }
  return 0;
}

bool ParseSetting(const AnsiString& text, const std::map<AnsiString, int>& names, int& value) {
  if (text.empty()) return true;
  auto it = names.find(text);
  if (it == names.end()) return false;
  value = it->second;
  return true;
}

int Add(const Options& o) {
  if (o.args.size() < 2) return Usage();
  int method = smBestMethod, option = doNormal;
  if (!ParseSetting(Flag(o, 'm'), {{"stored", smStored}, {"deflated", smDeflated}, {"best", smBestMethod}}, method) ||
      !ParseSetting(Flag(o, 'o'), {{"normal", doNormal}, {"maximum", doMaximum}, {"fast", doFast}, {"superfast", doSuperFast}},
                    option))
    return Usage();
  const AnsiString archiveName = ExpandFileName(o.args[0]);
  const bool isNew = !FileExists(archiveName);
  auto archive = OpenArchive(o.args[0], true);
  // A new archive that got nothing, or whose save failed, is not left behind
  // as an empty file.
  auto dropIfEmpty = [&] {
    if (!isNew || (archive->Count() > 0 && FileSize(archiveName) > 0)) return;
    archive.reset();
    if (FileSize(archiveName) == 0) DeleteFile(archiveName);
  };
  archive->SetCompressionMethodToUse(static_cast<TAbZipSupportedMethod>(method));
  archive->SetDeflationOption(static_cast<TAbZipDeflationOption>(option));
  archive->SetPassword(Flag(o, 'p'));
  if (!Flag(o, 's').empty()) archive->SetSpanningThreshold(std::stoll(Flag(o, 's')));
  if (o.flags.count('c')) archive->SetZipfileComment(Flag(o, 'c'));
  archive->SetStoreOptions({soStripDrive, soStripPath});
  archive->InsertHelper = CompressItemFromFile;
  archive->InsertFromStreamHelper = CompressItemFromStream;
  bool failed = false;
  archive->OnProcessItemFailure = [&](TObject*, TAbArchiveItem* item, TAbProcessType, TAbErrorClass, int32_t) {
    PrintFailure("cannot add " + item->DiskFileName(), CurrentFailure());
    failed = true;
  };
  try {
    for (size_t i = 1; i < o.args.size(); ++i) {
      AnsiString name = ExpandFileName(o.args[i]);
      int before = archive->Count();
      archive->AddFiles(name, kAddAttributes);
      if (archive->Count() > before) continue;
      PrintFailure("cannot add " + o.args[i], DirectoryExists(name) ? "is a folder" : AbErrorText(AbFileNotFound));
      failed = true;
    }
    archive->Save();
  } catch (...) {
    dropIfEmpty();
    throw;
  }
  dropIfEmpty();
  return failed ? kExitFailure : 0;
}

// Swallows what a test decompresses.
class NullStream : public TStream {
public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t count) override { return count; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
};

// Where one member's data goes: a stream, and the file to remove when the
// member turns out unreadable (empty for a test).
struct Target {
  std::unique_ptr<TStream> stream;
  AnsiString path;
};

// Test and extract share the walk; MakeTarget gives each member's output, or
// no stream for a member that needs none (a folder). Every member is tried.
int ReadAll(const Options& o, const std::function<Target(const TAbZipItem&)>& makeTarget) {
  auto archive = OpenArchive(o.args[0], false);
  // Members of a spanned set lie on other volumes; such a set is joined first.
  if (archive->Spanned()) {
    PrintFailure(o.args[0], "a spanned archive cannot be read member by member");
    return kExitFailure;
  }
  const AnsiString password = Flag(o, 'p');
  int errors = 0;
  for (int i = 0; i < archive->Count(); ++i) {
    const TAbZipItem& item = *archive->ZipItems(i);
    AnsiString problem = UnreadableReason(item, password);
    if (problem.empty()) {
      try {
        Target target = makeTarget(item);
        if (!target.stream) continue;
        problem = ReadMember(*archive->Stream(), item, password, *target.stream);
        target.stream.reset();
        if (!problem.empty() && !target.path.empty()) DeleteFile(target.path);
      } catch (const Exception& e) {
        problem = e.Message();
      }
    }
    if (problem.empty()) {
      PrintLine(item.GetFileName() + ": OK");
    } else {
      PrintFailure(o.args[0] + ": " + item.GetFileName(), problem);
      ++errors;
    }
  }
  return errors ? kExitFailure : 0;
}

int Test(const Options& o) {
  return ReadAll(o, [](const TAbZipItem&) { return Target{std::make_unique<NullStream>(), {}}; });
}

int Extract(const Options& o) {
  if (o.args.size() < 2) return Usage();
  AnsiString folder = ExpandFileName(o.args[1]);
  return ReadAll(o, [&](const TAbZipItem& item) -> Target {
    AnsiString name = item.GetFileName();
    BackslashesToSlashes(name);
    // A stored name never climbs out of the folder: "..", "." and empty
    // elements are dropped.
    std::vector<AnsiString> elements;
    SplitPathElements(name, elements);
    AnsiString path = folder;
    for (const AnsiString& e : elements)
      if (!e.empty() && e != "." && e != "..") path = IncludeTrailingPathDelimiter(path) + e;
    if (path == folder) return {};
    if (item.GetIsDirectory()) {
      ForceDirectories(path);
      return {};
    }
    ForceDirectories(ExtractFileDir(path));
    return Target{std::make_unique<TFileStream>(path, fmCreate), path};
  });
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) return Usage();
  try {
    if (o.command == "list") return List(o);
    if (o.command == "add") return Add(o);
    if (o.command == "test") return Test(o);
    if (o.command == "extract") return Extract(o);
    return Usage();
  } catch (const Exception& e) {
    PrintFailure(o.args[0], e.Message());
    return kExitFailure;
  }
}
