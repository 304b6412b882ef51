// The CLIPBOARD selection of the X11 backend (see x11_clipboard.h).

#include "platform/gui/x11_clipboard.h"

#include <poll.h>

#include "platform/rtl/clock.h"
#include "platform/rtl/text.h"

#define Region XlibRegion
#include <X11/Xatom.h>
#undef Region

namespace {

constexpr int kAnswerWaitMs = 1000;
constexpr int kPollStepMs = 10;

}  // namespace

X11Clipboard::X11Clipboard(X11Connection& x) : x_(x) {
  helper_ = XCreateSimpleWindow(x_.dpy(), x_.root(), -10, -10, 1, 1, 0, 0, 0);
}

void X11Clipboard::Set(const std::string& text) {
  text_ = text;
  XSetSelectionOwner(x_.dpy(), x_.GetAtom("CLIPBOARD"), helper_, CurrentTime);
  x_.Flush();
}

std::string X11Clipboard::Get() {
  const Atom clipboard = x_.GetAtom("CLIPBOARD");
  const Window owner = XGetSelectionOwner(x_.dpy(), clipboard);
  if (owner == helper_) return text_;
  if (owner == None) return {};
  const Atom property = x_.GetAtom("VX_CLIPBOARD");
  XConvertSelection(x_.dpy(), clipboard, x_.GetAtom("UTF8_STRING"), property, helper_, CurrentTime);
  XFlush(x_.dpy());
  XEvent ev;
  const uint64_t deadline = GetTickCount64() + kAnswerWaitMs;
  bool answered = false;
  while (!(answered = XCheckTypedWindowEvent(x_.dpy(), helper_, SelectionNotify, &ev)) &&
         GetTickCount64() < deadline) {
    pollfd fd{ConnectionNumber(x_.dpy()), POLLIN, 0};
    poll(&fd, 1, kPollStepMs);
  }
  x_.SchedulePump();
  if (!answered || ev.xselection.property == None) return {};
  const std::string utf8 = x_.ReadProperty(helper_, property);
  XDeleteProperty(x_.dpy(), helper_, property);
  return Utf8ToAnsi(utf8);
}

bool X11Clipboard::Handle(const XEvent& ev) {
  if (ev.type != SelectionRequest || ev.xselectionrequest.owner != helper_) return false;
  Answer(ev.xselectionrequest);
  return true;
}

void X11Clipboard::Answer(const XSelectionRequestEvent& request) {
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.time = request.time;
  reply.xselection.property = None;
  const Atom utf8 = x_.GetAtom("UTF8_STRING"), targets = x_.GetAtom("TARGETS");
  if (request.target == targets) {
    const Atom list[2] = {targets, utf8};
    XChangeProperty(x_.dpy(), request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(list), 2);
    reply.xselection.property = request.property;
  } else if (request.target == utf8) {
    const std::string text = AnsiToUtf8(text_);
    XChangeProperty(x_.dpy(), request.requestor, request.property, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
    reply.xselection.property = request.property;
  }
  XSendEvent(x_.dpy(), request.requestor, False, NoEventMask, &reply);
  x_.Flush();
}
