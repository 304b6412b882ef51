// The XDND receiving side: enter, position (answered with a status),
// leave, drop (the selection is converted to text/uri-list on the target
// window and the source hears XdndFinished once the paths are delivered).
#include "platform/gui/x11_dnd.h"

#include <sstream>

#include "platform/gui/drop_files.h"
#include "platform/rtl/text.h"

#include <X11/Xatom.h>

namespace {
constexpr long kXdndVersion = 5;
constexpr long kMoreThanThreeTypes = 1;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const int hi = s[i] == '%' && i + 2 < s.size() ? HexDigit(s[i + 1]) : -1;
    const int lo = hi >= 0 ? HexDigit(s[i + 2]) : -1;
    if (lo < 0) {
      out += s[i];
      continue;
    }
    out += char(hi * 16 + lo);
    i += 2;
  }
  return out;
}
}  // namespace

std::vector<AnsiString> FilePathsOfUriList(const std::string& list) {
  std::vector<AnsiString> paths;
  std::istringstream lines(list);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("file://", 0) != 0) continue;  // comments ("#") and other schemes
    // file:///path or file://host/path: the path starts at the third "/".
    const size_t slash = line.find('/', 7);
    if (slash == std::string::npos) continue;
    paths.push_back(Utf8ToAnsi(PercentDecoded(line.substr(slash))));
  }
  return paths;
}

void X11Dnd::MakeAware(Window xid) {
  const long version = kXdndVersion;
  XChangeProperty(x_.dpy(), xid, x_.GetAtom("XdndAware"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
}

bool X11Dnd::Handle(const XEvent& ev) {
  if (ev.type == SelectionNotify && ev.xselection.selection == x_.GetAtom("XdndSelection")) {
    Fetched(ev.xselection);
    return true;
  }
  if (ev.type != ClientMessage) return false;
  const XClientMessageEvent& m = ev.xclient;
  if (m.message_type == x_.GetAtom("XdndEnter")) Enter(m);
  else if (m.message_type == x_.GetAtom("XdndPosition")) Position(m);
  else if (m.message_type == x_.GetAtom("XdndDrop")) Drop(m);
  else if (m.message_type == x_.GetAtom("XdndLeave")) source_ = 0;
  else return false;
  return true;
}

void X11Dnd::Enter(const XClientMessageEvent& m) {
  source_ = Window(m.data.l[0]);
  target_ = m.window;
  const Atom uris = x_.GetAtom("text/uri-list");
  offersUris_ = false;
  if (m.data.l[1] & kMoreThanThreeTypes) {
    const std::string types = x_.ReadProperty(source_, x_.GetAtom("XdndTypeList"));
    const long* list = reinterpret_cast<const long*>(types.data());
    for (size_t i = 0; i < types.size() / sizeof(long); ++i) offersUris_ |= Atom(list[i]) == uris;
  } else {
    for (int i = 2; i <= 4; ++i) offersUris_ |= Atom(m.data.l[i]) == uris;
  }
}

void X11Dnd::Position(const XClientMessageEvent& m) {
  if (Window(m.data.l[0]) != source_) return;
  x_root_ = (m.data.l[2] >> 16) & 0xFFFF;
  y_root_ = m.data.l[2] & 0xFFFF;
  accept_ = offersUris_ && FileDropTargetAt({int(x_root_), int(y_root_)}) != 0;
  // No rectangle to stay quiet in: every move asks again.
  Reply(source_, "XdndStatus", {long(target_), accept_ ? 1 : 0, 0, 0, accept_ ? long(x_.GetAtom("XdndActionCopy")) : 0});
}

void X11Dnd::Drop(const XClientMessageEvent& m) {
  if (Window(m.data.l[0]) != source_) return;
  if (!accept_) return Finish(false);
  XConvertSelection(x_.dpy(), x_.GetAtom("XdndSelection"), x_.GetAtom("text/uri-list"), x_.GetAtom("XdndSelection"),
                    target_, Time(m.data.l[2]));
  x_.Flush();
}

void X11Dnd::Fetched(const XSelectionEvent& s) {
  if (!source_ || s.requestor != target_) return;
  bool delivered = false;
  if (s.property != None) {
    const std::string list = x_.ReadProperty(target_, s.property);
    XDeleteProperty(x_.dpy(), target_, s.property);
    delivered = DropFilesAt({int(x_root_), int(y_root_)}, FilePathsOfUriList(list));
  }
  Finish(delivered);
}

void X11Dnd::Finish(bool accepted) {
  Reply(source_, "XdndFinished", {long(target_), accepted ? 1 : 0, accepted ? long(x_.GetAtom("XdndActionCopy")) : 0});
  source_ = 0;
}

void X11Dnd::Reply(Window to, const char* type, std::initializer_list<long> data) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = to;
  ev.xclient.message_type = x_.GetAtom(type);
  ev.xclient.format = 32;
  int i = 0;
  for (long v : data) ev.xclient.data.l[i++] = v;
  XSendEvent(x_.dpy(), to, False, NoEventMask, &ev);
  x_.Flush();
}
