// Binding of the transport's entry points (see aspi_transport.h).

#include "cdwriter/aspi_transport.h"

#include <vector>

#include "cdwriter/spti_layer.h"
#include "platform/rtl/dynlib.h"
#include "platform/rtl/exceptions.h"

namespace {

struct Transport {
  bool initialized = false;
  bool prefer_pass_through = false;
  AnsiString name;
  TGetASPI32SupportInfo support_info = nullptr;
  TSendASPI32Command send_command = nullptr;
  HMODULE library = nullptr;
  bool spti_used = false;
};

// Declared before the clean-up below, so it is destroyed after it.
Transport transport;

Transport& State() { return transport; }

// Frees what the process still holds when it ends.
struct ExitCleanup {
  ~ExitCleanup() { ShutdownTransport(); }
} exit_cleanup;

void Bind(TGetASPI32SupportInfo support_info, TSendASPI32Command send_command, const AnsiString& name) {
  Transport& t = State();
  t.support_info = support_info;
  t.send_command = send_command;
  t.name = name;
  t.initialized = true;
}

bool BindBuiltInLayer() {
  State().spti_used = true;
  if (SptiScanDrives() == 0) return false;
  Bind(SptiSupportInfo, SptiSendCommand, kBuiltInTransportName);
  return true;
}

HMODULE LoadAspiLibrary(const AnsiString& dll_name) {
  std::vector<AnsiString> names;
  if (!dll_name.empty()) names.push_back(dll_name);
  names.push_back(AnsiString("./") + kAspiLibraryName);
  names.push_back(kAspiLibraryName);
  for (const AnsiString& name : names) {
    try {
      if (HMODULE module = LoadLibrary(name)) return module;
    } catch (const std::exception&) {
      // A loader failure is just a library that is not there.
    }
  }
  return nullptr;
}

// Marks the library bound only once both entry points are there, so a
// half-bound transport can never be called through a null pointer.
bool BindAspiLibrary(const AnsiString& dll_name) {
  HMODULE module = LoadAspiLibrary(dll_name);
  if (!module) return false;
  auto support_info = reinterpret_cast<TGetASPI32SupportInfo>(GetProcAddress(module, "GetASPI32SupportInfo"));
  auto send_command = reinterpret_cast<TSendASPI32Command>(GetProcAddress(module, "SendASPI32Command"));
  if (!support_info || !send_command) {
    FreeLibrary(module);
    throw EAssertionFailed(SAssertionFailed);
  }
  State().library = module;
  Bind(support_info, send_command, kAspiLibraryName);
  return true;
}

}  // namespace

bool ASPIInitialized() { return State().initialized; }
const AnsiString& TransportName() { return State().name; }
bool PreferPassThrough() { return State().prefer_pass_through; }

bool LoadTransport(bool prefer_pass_through, const AnsiString& dll_name) {
  Transport& t = State();
  if (!t.initialized && prefer_pass_through) BindBuiltInLayer();
  if (!t.initialized) BindAspiLibrary(dll_name);
  if (!t.initialized) BindBuiltInLayer();
  if (t.initialized) GetASPI32SupportInfo();
  t.prefer_pass_through = prefer_pass_through;
  return t.initialized;
}

void BindTransport(TGetASPI32SupportInfo support_info, TSendASPI32Command send_command, const AnsiString& name) {
  Bind(support_info, send_command, name);
}

void ShutdownTransport() {
  Transport& t = State();
  if (t.library) FreeLibrary(t.library);
  if (t.spti_used) SptiShutdown();
  t = Transport{};
}

uint32_t GetASPI32SupportInfo() {
  constexpr uint32_t kNoAdapters = uint32_t{SS_NO_ADAPTERS} << 8;
  const Transport& t = State();
  return t.support_info ? t.support_info() : kNoAdapters;
}

uint32_t SendASPI32Command(void* srb) {
  const Transport& t = State();
  return t.send_command ? t.send_command(srb) : SS_NOT_INITIALIZED;
}
