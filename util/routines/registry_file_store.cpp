// The file-backed registry store (see registry_file_store.h).
#include "util/routines/registry_file_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "util/routines/util_errors.h"

namespace {

constexpr const char* kHeader = "vorbex05 registry 1";

struct KeyData {
  WideString path;  // as first written
  std::map<WideString, std::pair<WideString, TRegistryValue>> values;  // by upper-cased name
  std::vector<std::string> unreadable;  // lines kept as they were, written back with the key
};
// By upper-cased path; the key "" holds the lines before the first key.
using RootData = std::map<WideString, KeyData>;

WideString Fold(const WideString& s) { return WideUpperCase(s); }

// "a\\b\\" and "\\a\\b" name the key "a\\b".
WideString Normal(const WideString& key) {
  size_t b = 0, e = key.size();
  while (b < e && key[b] == u'\\') ++b;
  while (e > b && key[e - 1] == u'\\') --e;
  return key.substr(b, e - b);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "\"name\"=type:hex"; false for anything else.
bool ParseValue(const std::string& line, WideString& name, TRegistryValue& value) {
  if (line.empty() || line[0] != '"') return false;
  std::string n;
  size_t i = 1;
  for (;; ++i) {
    if (i >= line.size()) return false;
    if (line[i] == '\\' && i + 1 < line.size()) {
      n += line[++i];
      continue;
    }
    if (line[i] == '"') break;
    n += line[i];
  }
  if (++i >= line.size() || line[i] != '=') return false;
  const size_t colon = line.find(':', i + 1);
  if (colon == std::string::npos || colon == i + 1) return false;
  std::uint32_t type = 0;
  for (size_t k = i + 1; k < colon; ++k) {
    if (line[k] < '0' || line[k] > '9' || type > 100000) return false;
    type = type * 10 + std::uint32_t(line[k] - '0');
  }
  const std::string hex = line.substr(colon + 1);
  if (hex.size() % 2) return false;
  std::string data;
  for (size_t k = 0; k < hex.size(); k += 2) {
    const int hi = HexDigit(hex[k]), lo = HexDigit(hex[k + 1]);
    if (hi < 0 || lo < 0) return false;
    data += char(hi * 16 + lo);
  }
  name = Utf8ToWide(n);
  value = {type, data};
  return true;
}

// Whatever a line does not say in this format (a damaged header, a stray
// byte, a value outside any key) is kept and written back with the rest,
// so that a change never throws away what could not be read.
RootData Load(TRegistryRoot root) {
  RootData data;
  std::ifstream in(AnsiToUtf8(TFileRegistryStore::FileOf(root)), std::ios::binary);
  std::string line;
  KeyData* current = &data[WideString()];
  for (bool first = true; std::getline(in, line); first = false) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // a byte-order mark
    if (first && line == kHeader) continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const WideString path = Normal(Utf8ToWide(line.substr(1, line.size() - 2)));
      KeyData& key = data[Fold(path)];
      if (key.path.empty()) key.path = path;
      current = &key;
      continue;
    }
    WideString name;
    TRegistryValue value;
    if (!current->path.empty() && ParseValue(line, name, value))
      current->values[Fold(name)] = {name, value};
    else if (!line.empty())
      current->unreadable.push_back(line);
  }
  return data;
}

std::string Quote(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + '"';
}

bool Save(TRegistryRoot root, const RootData& data) {
  std::ostringstream out;
  out << kHeader << '\n';
  static const char* digits = "0123456789abcdef";
  for (const auto& [folded, key] : data) {
    if (!folded.empty()) out << '[' << WideToUtf8(key.path) << "]\n";
    for (const auto& [n, v] : key.values) {
      out << Quote(WideToUtf8(v.first)) << '=' << v.second.Type << ':';
      for (unsigned char c : v.second.Data) out << digits[c >> 4] << digits[c & 15];
      out << '\n';
    }
    for (const std::string& line : key.unreadable) out << line << '\n';
  }
  return ReplaceFileContent(TFileRegistryStore::FileOf(root), out.str());
}

// Read, change and write one root's file under an exclusive lock, so two
// processes writing at once lose nothing.
template <class Change>
bool Modify(TRegistryRoot root, Change change) {
  if (!ForceDirectories(TFileRegistryStore::Folder())) return false;
  const TRegistryLock lock(root, true);
  if (!lock.Held()) return false;
  RootData data = Load(root);
  return change(data) && Save(root, data);
}

// The keys directly below parent, by folded path.
std::vector<WideString> Children(const RootData& data, const WideString& parent) {
  const WideString prefix = parent.empty() ? WideString() : Fold(parent) + u'\\';
  std::vector<WideString> names;
  for (const auto& [folded, key] : data) {
    if (folded.size() <= prefix.size() || folded.compare(0, prefix.size(), prefix) != 0) continue;
    const WideString rest = key.path.substr(prefix.size());
    if (rest.find(u'\\') == WideString::npos) names.push_back(rest);
  }
  return names;
}

}  // namespace

AnsiString XdgConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config)
    base = config;
  else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/.config";
  }
  return IncludeTrailingPathDelimiter(Utf8ToAnsi(base));
}

bool ReplaceFileContent(const AnsiString& fileName, const std::string& bytes) {
  const std::string file = AnsiToUtf8(fileName);
  const std::string temp = file + ".new";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f << bytes;
    f.flush();
    if (!f) return false;
  }
  if (std::rename(temp.c_str(), file.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

AnsiString TFileRegistryStore::Folder() { return XdgConfigHome() + "vorbex05/registry/"; }

AnsiString TFileRegistryStore::FileOf(TRegistryRoot root) {
  static const std::map<TRegistryRoot, const char*> names = {
      {rkClassesRoot, "HKEY_CLASSES_ROOT"}, {rkCurrentUser, "HKEY_CURRENT_USER"},
      {rkLocalMachine, "HKEY_LOCAL_MACHINE"}, {rkUsers, "HKEY_USERS"},
      {rkPerformanceData, "HKEY_PERFORMANCE_DATA"}, {rkCurrentConfig, "HKEY_CURRENT_CONFIG"},
      {rkDynData, "HKEY_DYN_DATA"}};
  auto it = names.find(root);
  char other[32];
  std::snprintf(other, sizeof other, "root-%08x", root);
  return Folder() + (it != names.end() ? it->second : other) + ".reg";
}

AnsiString TFileRegistryStore::LockFileOf(TRegistryRoot root) { return FileOf(root) + ".lock"; }

TRegistryLock::TRegistryLock(TRegistryRoot root, bool exclusive)
    : lock_(::open(AnsiToUtf8(TFileRegistryStore::LockFileOf(root)).c_str(),
                   (exclusive ? O_RDWR : O_RDONLY) | O_CREAT | O_CLOEXEC, 0600)) {
  if (lock_ < 0) return;
  if (!exclusive) {
    ::flock(lock_, LOCK_SH);
    return;
  }
  // A writer that hangs in another process must not hang this one too.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(TFileRegistryStore::LockTimeoutMs);
  while (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) break;  // no lock to be had: write unlocked as before
    if (Clock::now() >= end) {
      ::close(lock_);
      lock_ = -1;
      throw EUtlRegistryLocked(Format("The registry file %s is locked by another process",
                                      {TFileRegistryStore::FileOf(root)}));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TRegistryLock::~TRegistryLock() {
  if (lock_ >= 0) ::close(lock_);  // releases the lock
}

bool TFileRegistryStore::KeyExists(TRegistryRoot root, const WideString& key) const {
  const WideString path = Normal(key);
  return path.empty() || Load(root).count(Fold(path)) != 0;
}

bool TFileRegistryStore::QueryValue(TRegistryRoot root, const WideString& key, const WideString& name,
                                    TRegistryValue& value) const {
  const RootData data = Load(root);
  auto k = data.find(Fold(Normal(key)));
  if (k == data.end()) return false;
  auto v = k->second.values.find(Fold(name));
  if (v == k->second.values.end()) return false;
  value = v->second.second;
  return true;
}

namespace {
// Adds the key with every parent, each spelled as in this path unless it
// already exists; the key's entry.
KeyData& AddKey(RootData& data, const WideString& path) {
  for (size_t end = 0; end != WideString::npos;) {
    end = path.find(u'\\', end + 1);
    const WideString part = path.substr(0, end);
    if (part.empty()) break;
    KeyData& k = data[Fold(part)];
    if (k.path.empty()) k.path = part;
  }
  return data[Fold(path)];
}
}  // namespace

bool TFileRegistryStore::CreateKey(TRegistryRoot root, const WideString& key) {
  const WideString path = Normal(key);
  return Modify(root, [&](RootData& data) {
    if (!path.empty()) AddKey(data, path);
    return true;
  });
}

bool TFileRegistryStore::WriteValue(TRegistryRoot root, const WideString& key, const WideString& name,
                                    const TRegistryValue& value) {
  const WideString path = Normal(key);
  return Modify(root, [&](RootData& data) {
    if (path.empty()) return false;  // the root itself holds no values here
    AddKey(data, path).values[Fold(name)] = {name, value};
    return true;
  });
}

bool TFileRegistryStore::SetValue(TRegistryRoot root, const WideString& key, const WideString& name,
                                  const TRegistryValue& value) {
  return Modify(root, [&](RootData& data) {
    auto k = data.find(Fold(Normal(key)));
    if (k == data.end() || k->first.empty()) return false;  // the root itself holds no values here
    k->second.values[Fold(name)] = {name, value};
    return true;
  });
}

bool TFileRegistryStore::DeleteValue(TRegistryRoot root, const WideString& key, const WideString& name) {
  return Modify(root, [&](RootData& data) {
    auto k = data.find(Fold(Normal(key)));
    return k != data.end() && k->second.values.erase(Fold(name)) != 0;
  });
}

bool TFileRegistryStore::DeleteKey(TRegistryRoot root, const WideString& key) {
  const WideString folded = Fold(Normal(key));
  if (folded.empty()) return false;
  return Modify(root, [&](RootData& data) {
    if (!data.erase(folded)) return false;
    const WideString prefix = folded + u'\\';
    for (auto it = data.lower_bound(prefix); it != data.end() && it->first.compare(0, prefix.size(), prefix) == 0;)
      it = data.erase(it);
    return true;
  });
}

std::vector<WideString> TFileRegistryStore::SubKeyNames(TRegistryRoot root, const WideString& key) const {
  const RootData data = Load(root);
  const WideString path = Normal(key);
  if (!path.empty() && !data.count(Fold(path))) return {};
  return Children(data, path);
}

std::vector<WideString> TFileRegistryStore::ValueNames(TRegistryRoot root, const WideString& key) const {
  const RootData data = Load(root);
  auto k = data.find(Fold(Normal(key)));
  std::vector<WideString> names;
  if (k != data.end())
    for (const auto& [folded, v] : k->second.values) names.push_back(v.first);
  return names;
}

TFileRegistryStore& FileRegistryStore() {
  static TFileRegistryStore store;
  return store;
}
