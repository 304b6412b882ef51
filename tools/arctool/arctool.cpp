// arctool: the archive library from the shell, so that checks of the ZIP,
// tar, gzip and bzip2 files it writes and reads are plain commands.
//   arctool list ARCHIVE
//   arctool add [-m stored|deflated|best] [-o normal|maximum|fast|superfast]
//               [-p PASSWORD] [-s VOLUME_BYTES] [-c COMMENT] ARCHIVE FILE...
//   arctool test [-p PASSWORD] ARCHIVE
//   arctool extract [-f] [-p PASSWORD] ARCHIVE FOLDER
// The kind comes from the contents, else from the extension (.zip, .tar,
// .gz, .tgz, .bz2, .tbz); the options of add other than -p apply to ZIP.
// Names cross the command line as UTF-8; a password is used as its UTF-8
// bytes, as other tools on this system take it. Extraction never replaces a
// file unless -f is given. Exit status: 0 success, 1 failure, 2 wrong usage.
// A command does all it can and names every failure (archive or member, and
// why) on stderr; one failure anywhere makes the status 1.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/ab_bzip2.h"
#include "archive/ab_detect.h"
#include "archive/ab_exceptions.h"
#include "archive/ab_gzip.h"
#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_compress.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "tools/arctool/extract_target.h"
#include "tools/arctool/member_reader.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int32_t kAddAttributes = AbAttrAnyFile;

struct Options {
  AnsiString command;
  std::map<char, AnsiString> flags;
  std::vector<AnsiString> args;  // archive first
  std::vector<std::string> rawArgs;  // the same, as given (UTF-8)
  bool overwrite = false;
};

// One line per failure: "arctool: WHAT: WHY", a wrapped message's CR LF
// turned into ": " so the line stays one. A member's name comes in UTF-8.
void PrintFailure(const AnsiString& what, AnsiString why, const std::string& member = {}) {
  for (size_t at; (at = why.find("\r\n")) != AnsiString::npos;) why.replace(at, 2, ": ");
  std::string line = "arctool: " + AnsiToUtf8(what) + (member.empty() ? "" : ": " + member) + ": " + AnsiToUtf8(why);
  std::fprintf(stderr, "%s\n", line.c_str());
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
               "       arctool extract [-f] [-p PASSWORD] ARCHIVE FOLDER\n");
  return kExitUsage;
}

bool Parse(int argc, char** argv, Options& o) {
  if (argc < 3) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "-f") == 0) {
      o.overwrite = true;
    } else if (argv[i][0] == '-' && argv[i][1] && !argv[i][2] && i + 1 < argc) {
      // The password keys the cipher byte by byte: it stays in UTF-8.
      o.flags[argv[i][1]] = argv[i][1] == 'p' ? AnsiString(argv[i + 1]) : Utf8ToAnsi(argv[i + 1]);
      ++i;
    } else {
      o.args.push_back(Utf8ToAnsi(argv[i]));
      o.rawArgs.push_back(argv[i]);
    }
  }
  return !o.args.empty();
}

AnsiString Flag(const Options& o, char name) {
  auto it = o.flags.find(name);
  return it == o.flags.end() ? AnsiString() : it->second;
}

bool EndsWith(const AnsiString& text, const char* tail) {
  const size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// A compressed file opened so that it lists the tar entries inside it.
template <class T>
std::unique_ptr<TAbArchive> OpenCompressed(const AnsiString& name, uint16_t mode, bool holdsTar) {
  auto archive = std::make_unique<T>(name, mode);
  archive->SetOpenInnerTar(holdsTar);
  archive->SetIsCompressedTar(holdsTar);
  return archive;
}

// The kind comes from the contents of an existing file and from the extension
// of a new one (".tar.gz" and ".tar.bz2" hold tar entries). A file with a tar,
// gzip or bzip2 extension whose contents are none of these is damaged; any
// other unknown file goes to the ZIP reader, which says what is wrong with it.
// The library takes an empty file for a new archive; a command that reads one
// has been given something that is not an archive.
std::unique_ptr<TAbArchive> OpenArchive(const AnsiString& name, bool create) {
  AnsiString full = ExpandFileName(name);
  bool exists = FileExists(full);
  if (!exists && !create) throw EAbFileNotFound();
  if (exists && !create && FileSize(full) == 0) throw EAbZipInvalid(AbErrorText(AbZipInvalid) + " (empty file)");
  const uint16_t mode = exists ? fmOpenReadWrite | fmShareDenyWrite : fmCreate;
  const AnsiString lower = LowerCase(full);
  TAbArchiveKind kind = DetermineArchiveKind(full, akUnknown);
  if (!exists && (EndsWith(lower, ".tar.gz") || EndsWith(lower, ".tar.bz2")))
    kind = EndsWith(lower, ".gz") ? akGzippedTar : akBzippedTar;
  std::unique_ptr<TAbArchive> archive;
  switch (kind) {
    case akTar: archive = std::make_unique<TAbTarArchive>(full, mode); break;
    case akGzip:
    case akGzippedTar: archive = OpenCompressed<TAbGzipArchive>(full, mode, kind == akGzippedTar); break;
    case akBzip2:
    case akBzippedTar: archive = OpenCompressed<TAbBzip2Archive>(full, mode, kind == akBzippedTar); break;
    default:
      for (const char* ext : {".tar", ".gz", ".tgz", ".bz2", ".tbz"})
        if (exists && EndsWith(lower, ext))
          throw EAbUnhandledType(AnsiString("contents are not of the kind that the extension ") + ext + " names");
      archive = std::make_unique<TAbZipArchive>(full, mode);
  }
  archive->Load();
  return archive;
}

// Swallows what a test or a count decodes, counting it.
class CountingSink : public TStream {
public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t count) override {
    count_ += count;
    return count;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return count_; }
  int64_t Count() const { return count_; }

private:
  int64_t count_ = 0;
};

AnsiString DateText(const TAbArchiveItem& item) {
  uint16_t d = item.GetLastModFileDate(), t = item.GetLastModFileTime();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", 1980 + (d >> 9), (d >> 5) & 15, d & 31, t >> 11,
                (t >> 5) & 63, (t & 31) * 2);
  return text;
}

const char* MethodName(const TAbZipItem& item) {
  switch (item.CompressionMethod()) {
    case 0: return "stored";
    case 8: return "deflated";
    default: return "other";
  }
}

// ZIP: name, sizes, CRC-32, date, method. Other kinds: name, size, date; the
// size of a plain gzip or bzip2 file is counted by decoding it, as its header
// holds none (or only its low 32 bits), which also finds damaged data.
int List(const Options& o) {
  auto archive = OpenArchive(o.args[0], false);
  auto* zip = dynamic_cast<TAbZipArchive*>(archive.get());
  auto* compressed = dynamic_cast<TAbCompressedTarArchive*>(archive.get());
  for (int i = 0; i < archive->Count(); ++i) {
    const TAbArchiveItem& item = *archive->Items(i);
    char line[160];
    if (zip) {
      const TAbZipItem& z = *zip->ZipItems(i);
      std::snprintf(line, sizeof line, "\t%lld\t%lld\t%08x\t%s\t%s%s", static_cast<long long>(z.GetUncompressedSize()),
                    static_cast<long long>(z.GetCompressedSize()), z.GetCRC32(), DateText(z).c_str(), MethodName(z),
                    z.GetIsEncrypted() ? "\tencrypted" : "");
    } else {
      int64_t size = item.GetUncompressedSize();
      if (compressed && !compressed->TarMode()) {
        CountingSink sink;
        archive->ExtractItemToStreamAt(i, &sink);
        size = sink.Count();
      }
      std::snprintf(line, sizeof line, "\t%lld\t%s", static_cast<long long>(size), DateText(item).c_str());
    }
    std::printf("%s%s\n", item.GetUtf8FileName().c_str(), AnsiToUtf8(line).c_str());
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
  // A new archive that got nothing, whatever the reason, is not left behind.
  auto dropNew = [&] {
    if (!isNew) return;
    archive.reset();
    DeleteFile(archiveName);
  };
  auto* zip = dynamic_cast<TAbZipArchive*>(archive.get());
  if (zip) {
    zip->SetCompressionMethodToUse(static_cast<TAbZipSupportedMethod>(method));
    zip->SetDeflationOption(static_cast<TAbZipDeflationOption>(option));
    zip->SetPassword(Flag(o, 'p'));
    if (!Flag(o, 's').empty()) zip->SetSpanningThreshold(std::stoll(Flag(o, 's')));
    if (o.flags.count('c')) zip->SetZipfileComment(Flag(o, 'c'));
    zip->InsertHelper = CompressItemFromFile;
    zip->InsertFromStreamHelper = CompressItemFromStream;
  } else if (!Flag(o, 'p').empty()) {
    dropNew();
    PrintFailure(o.args[0], "only ZIP archives take a password");
    return kExitFailure;
  }
  archive->SetStoreOptions({soStripDrive, soStripPath});
  bool failed = false;
  archive->OnProcessItemFailure = [&](TObject*, TAbArchiveItem* item, TAbProcessType, TAbErrorClass, int32_t) {
    PrintFailure("cannot add " + item->DiskFileName(), CurrentFailure());
    failed = true;
  };
  try {
    for (size_t i = 1; i < o.args.size(); ++i) {
      // A character the system's code page lacks would come back as "?",
      // which is a wildcard: the file is refused, not looked for by a mask.
      if (AnsiToUtf8(o.args[i]) != o.rawArgs[i]) {
        std::fprintf(stderr, "arctool: cannot add %s: name has characters outside Windows-1250\n", o.rawArgs[i].c_str());
        failed = true;
        continue;
      }
      AnsiString name = ExpandFileName(o.args[i]);
      int before = archive->Count();
      archive->AddFiles(name, kAddAttributes);
      if (archive->Count() > before) continue;
      PrintFailure("cannot add " + o.args[i], DirectoryExists(name) ? "is a folder" : AbErrorText(AbFileNotFound));
      failed = true;
    }
    archive->Save();
  } catch (...) {
    dropNew();
    throw;
  }
  if (archive->Count() == 0) dropNew();
  return failed ? kExitFailure : 0;
}

// Removes a scratch file that did not get its name.
struct Scratch {
  AnsiString name;
  ~Scratch() {
    if (!name.empty()) DeleteFile(name);
  }
};

// Tests member Index, or extracts it into Target: ZIP members through the
// tool's own reader (with the password), the others through the library.
// Returns what went wrong, empty on success.
AnsiString ReadOne(TAbArchive& archive, int index, const AnsiString& password, ExtractTarget* target) {
  auto* zip = dynamic_cast<TAbZipArchive*>(&archive);
  if (zip) {
    if (AnsiString reason = UnreadableReason(*zip->ZipItems(index), password); !reason.empty()) return reason;
  }
  if (!target) {
    if (!zip) {
      archive.TestItemAt(index);
      return {};
    }
    CountingSink sink;
    return ReadMember(*zip->Stream(), *zip->ZipItems(index), password, sink);
  }
  const TAbArchiveItem& item = *archive.Items(index);
  std::string name = item.GetUtf8FileName();
  if (zip) std::replace(name.begin(), name.end(), '\\', '/');
  if (item.GetIsDirectory()) {
    target->PlaceFolder(name);
    return {};
  }
  const std::string path = target->PlaceFile(name);
  if (path.empty()) return {};
  Scratch scratch;
  if (zip) {
    // Written through the scratch file's own descriptor, not opened again.
    AnsiString problem;
    {
      struct Descriptor {
        int fd = -1;
        ~Descriptor() {
          if (fd >= 0) ::close(fd);
        }
      } file;
      scratch.name = target->NewScratchFile(&file.fd);
      THandleStream out(file.fd);
      problem = ReadMember(*zip->Stream(), *zip->ZipItems(index), password, out);
    }
    if (!problem.empty()) return problem;
  } else {
    scratch.name = target->NewScratchFile();
    archive.ExtractItemAt(index, scratch.name);
  }
  target->Commit(scratch.name, path);
  scratch.name.clear();
  return {};
}

// Test and extract share the walk; every member is tried.
int ReadAll(const Options& o, bool extract) {
  if (extract && o.args.size() < 2) return Usage();
  auto archive = OpenArchive(o.args[0], false);
  // Members of a spanned set lie on other volumes; such a set is joined first.
  if (archive->Spanned()) {
    PrintFailure(o.args[0], "a spanned archive cannot be read member by member");
    return kExitFailure;
  }
  std::unique_ptr<ExtractTarget> target;
  if (extract) target = std::make_unique<ExtractTarget>(o.args[1], o.overwrite);
  int errors = 0;
  for (int i = 0; i < archive->Count(); ++i) {
    const std::string name = archive->Items(i)->GetUtf8FileName();
    AnsiString problem;
    try {
      problem = ReadOne(*archive, i, Flag(o, 'p'), target.get());
    } catch (const Exception& e) {
      problem = e.Message();
    }
    if (problem.empty()) {
      std::printf("%s: OK\n", name.c_str());
    } else {
      PrintFailure(o.args[0], problem, name);
      ++errors;
    }
  }
  return errors ? kExitFailure : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) return Usage();
  try {
    if (o.command == "list") return List(o);
    if (o.command == "add") return Add(o);
    if (o.command == "test") return ReadAll(o, false);
    if (o.command == "extract") return ReadAll(o, true);
    return Usage();
  } catch (const Exception& e) {
    PrintFailure(o.args[0], e.Message());
    return kExitFailure;
  }
}
