// Registry writing, automatic start and registry change notices.
#include "util/routines/registry_writing.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/release_class.h"
#include "util/routines/text_slicing.h"
#include "util/routines/util_errors.h"

void UtlWriteRegistryText(TRegistryRoot root, const AnsiString& key, const AnsiString& name, const AnsiString& value) {
  const std::uint32_t type = value.find('%') != AnsiString::npos ? kRegExpandString : kRegString;
  // Key and value in one change, so a watcher sees one notice.
  if (!FileRegistryStore().WriteValue(root, AnsiToWide(key), AnsiToWide(name), RegistryText(AnsiToWide(value), type)))
    throw EUtlRegistryError(Format("Unable to open the %s key", {key}));
}

void UtlAutoRunKey(TUtlAutoExecKind kind, TRegistryRoot& root, AnsiString& key) {
  static const char* const suffixes[] = {"Run", "RunOnce", "Run", "RunOnce", "RunServices", "RunServicesOnce"};
  root = kind == aekUserRun || kind == aekUserRunOnce ? rkCurrentUser : rkLocalMachine;
  key = AnsiString("Software\\Microsoft\\Windows\\CurrentVersion\\") + suffixes[kind];
}

namespace {

bool ServiceKindOnNT(TUtlAutoExecKind kind) {
  return (kind == aekServiceRun || kind == aekServiceRunOnce) && UtlThisRelease().IsWinNT;
}

// One argument of an Exec line: quoted when it holds anything the launcher
// would read specially; then escaped as a string value of the file.
std::string ExecArgument(const std::string& utf8) {
  std::string arg;
  if (utf8.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos)
    arg = utf8;
  else {
    arg = "\"";
    for (char c : utf8) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
      arg += c;
    }
    arg += '"';
  }
  std::string line;
  for (char c : arg) {
    if (c == '%') line += '%';  // a field code otherwise
    if (c == '\\') line += '\\';
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return s;
}

bool RunsOnce(TUtlAutoExecKind kind) { return kind == aekMachineRunOnce || kind == aekUserRunOnce; }

// The entry runs the program; a run-once entry first removes itself.
bool WriteAutoStartFile(TUtlAutoExecKind kind, const AnsiString& fileName) {
  const AnsiString file = UtlAutoStartFile(fileName, kind);
  if (!ForceDirectories(ExtractFilePath(file))) return false;
  std::string exec = ExecArgument(AnsiToUtf8(fileName));
  if (RunsOnce(kind))
    exec = "/bin/sh -c " + ExecArgument("rm -f -- \"$0\"; exec \"$@\"") + " " + ExecArgument(AnsiToUtf8(file)) +
           " " + exec;
  return ReplaceFileContent(file, "[Desktop Entry]\nType=Application\nName=" +
                                      OneLine(AnsiToUtf8(UtlExtractName(fileName))) + "\nExec=" + exec + "\n");
}

// The first of $XDG_CONFIG_DIRS, else /etc/xdg, with its trailing "/".
AnsiString XdgConfigDir() {
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string first = dirs && *dirs ? std::string(dirs).substr(0, std::string(dirs).find(':')) : "";
  return IncludeTrailingPathDelimiter(Utf8ToAnsi(first.empty() ? "/etc/xdg" : first));
}

}  // namespace

AnsiString UtlAutoStartFile(const AnsiString& fileName, TUtlAutoExecKind kind) {
  const AnsiString folder = kind == aekUserRun || kind == aekUserRunOnce ? XdgConfigHome() : XdgConfigDir();
  return folder + "autostart/" + UtlExtractName(fileName) + (RunsOnce(kind) ? "-once" : "") + ".desktop";
}

bool UtlRegisterAutoRun(TUtlAutoExecKind kind, const AnsiString& fileName) {
  if (ServiceKindOnNT(kind)) return false;
  // The entry is what a session starts; the Run value without it would claim
  // a start that never comes.
  if (!WriteAutoStartFile(kind, fileName)) return false;
  try {
    TRegistryRoot root;
    AnsiString key;
    UtlAutoRunKey(kind, root, key);
    UtlWriteRegistryText(root, key, UtlExtractName(fileName), fileName);
    return true;
  } catch (const Exception&) {
    DeleteFile(UtlAutoStartFile(fileName, kind));
    return false;
  }
}

bool UtlUnregisterAutoRun(TUtlAutoExecKind kind, const AnsiString& fileName) {
  if (ServiceKindOnNT(kind)) return false;
  TRegistryRoot root;
  AnsiString key;
  UtlAutoRunKey(kind, root, key);
  TFileRegistryStore& store = FileRegistryStore();
  const WideString path = AnsiToWide(key), name = AnsiToWide(UtlExtractName(fileName));
  const AnsiString file = UtlAutoStartFile(fileName, kind);
  if (FileExists(file) && !DeleteFile(file)) return false;
  if (!store.KeyExists(root, path)) return false;
  TRegistryValue value;
  if (!store.QueryValue(root, path, name, value)) return true;
  return store.DeleteValue(root, path, name);
}

namespace {

void Describe(const TFileRegistryStore& store, TRegistryRoot root, const WideString& key, bool subTree,
              std::uint32_t filter, std::string& out) {
  if (!store.KeyExists(root, key)) {
    out += "-\n";
    return;
  }
  out += "[" + WideToUtf8(WideUpperCase(key)) + "]\n";
  if (filter & REG_NOTIFY_CHANGE_LAST_SET)
    for (const WideString& name : store.ValueNames(root, key)) {
      TRegistryValue v;
      store.QueryValue(root, key, name, v);
      out += WideToUtf8(name) + "=" + std::to_string(v.Type) + ":" + v.Data + "\n";
    }
  for (const WideString& sub : store.SubKeyNames(root, key)) {
    if (filter & REG_NOTIFY_CHANGE_NAME) out += "<" + WideToUtf8(sub) + ">\n";
    if (subTree) Describe(store, root, key.empty() ? sub : key + u'\\' + sub, true, filter, out);
  }
}

std::string Snapshot(const TUtlRegChangeInfo& info) {
  // Describe reads the file once per key and value: a change landing between
  // two reads would give a state that never was, and one change two notices.
  const TRegistryLock steady(info.Root, false);
  std::string out;
  Describe(FileRegistryStore(), info.Root, AnsiToWide(info.Key), info.WatchSubTree, info.Filter, out);
  return out;
}

}  // namespace

int UtlCreateRegChangeEvent(TRegistryRoot root, const AnsiString& key, bool watchSubTree, std::uint32_t filter,
                            TUtlRegChangeInfo& info) {
  info = {root, key, watchSubTree, filter, {}};
  const AnsiString folder = TFileRegistryStore::Folder();
  if (!ForceDirectories(folder)) return -1;
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return -1;
  // The store replaces its files by renaming, so the folder is what is watched.
  if (inotify_add_watch(fd, AnsiToUtf8(folder).c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_CREATE) < 0) {
    ::close(fd);
    return -1;
  }
  info.Snapshot = Snapshot(info);
  return fd;
}

bool UtlRearmRegChangeEvent(int event, TUtlRegChangeInfo& info) {
  if (event < 0) return false;
  char buffer[4096];
  while (::read(event, buffer, sizeof buffer) > 0) {
  }
  std::string now = Snapshot(info);
  if (now == info.Snapshot) return false;
  info.Snapshot = std::move(now);
  return true;
}

void UtlCloseHandleSafe(int& handle) {
  if (handle > 0) ::close(handle);
  handle = -1;
}
