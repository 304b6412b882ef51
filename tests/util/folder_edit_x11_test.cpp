// A folder edit on a real X server taking a drop from another program: the
// test plays the drag source (XDND), offering two files as text/uri-list
// with a Czech, space-holding, percent-encoded name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/window_backend.h"
#include "tests/support/temp_folder.h"
#include "util/components/folder_edit.h"
// Xlib's names (None and the like) only after the layer's headers.
#include "tests/platform/gui/x11_test_support.h"

#include <X11/Xatom.h>

namespace {

// The other program's side of a drag: one source window owning XdndSelection.
struct DragSource {
  explicit DragSource(Display* d) : dpy(d) {
    window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(dpy, Atom("XdndSelection"), window, CurrentTime);
  }
  ~DragSource() { XDestroyWindow(dpy, window); }
  ::Atom Atom(const char* name) { return XInternAtom(dpy, name, False); }
  void Send(Window to, const char* type, std::initializer_list<long> data) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = to;
    ev.xclient.message_type = Atom(type);
    ev.xclient.format = 32;
    int i = 0;
    for (long v : data) ev.xclient.data.l[i++] = v;
    XSendEvent(dpy, to, False, NoEventMask, &ev);
    XFlush(dpy);
  }
  // The next client message of that type to the source, pumping our loop meanwhile; data.l[1] or -1.
  long Await(const char* type) {
    long answer = -1;
    PumpUntil([&] {
      XEvent ev;
      while (XPending(dpy)) {
        XNextEvent(dpy, &ev);
        if (ev.type == SelectionRequest) Answer(ev.xselectionrequest);
        if (ev.type == ClientMessage && ev.xclient.message_type == Atom(type)) answer = ev.xclient.data.l[1];
      }
      return answer >= 0;
    });
    return answer;
  }
  void Answer(const XSelectionRequestEvent& r) {
    XChangeProperty(dpy, r.requestor, r.property, r.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(uris.data()), int(uris.size()));
    XEvent reply{};
    reply.xselection = {SelectionNotify, 0, True, dpy, r.requestor, r.selection, r.target, r.property, r.time};
    XSendEvent(dpy, r.requestor, False, NoEventMask, &reply);
    XFlush(dpy);
  }

  Display* dpy;
  Window window;
  std::string uris;
};

TEST(FolderEditX11, TakesTheFolderOfAFileDroppedByAnotherProgram) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  Display* dpy = XOpenDisplay(nullptr);
  ASSERT_NE(dpy, nullptr);
  TempFolder tmp;
  const std::filesystem::path folder = tmp.path() / u8"zálohy 2024";
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "x.zip") << "PK";

  auto* form = new TForm(nullptr);
  form->SetBounds(60, 60, 400, 120);
  auto* edit = new TDirectoryEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 271, 21);
  edit->SetAcceptFiles(true);
  form->Show();
  const Window target = GetNativeWindowId(form->Handle());
  ASSERT_TRUE(PumpUntil([&] { return !ReadProperty(dpy, target, XInternAtom(dpy, "XdndAware", False)).empty(); }));

  DragSource source(dpy);
  const std::string base = "file://" + tmp.path().string() + "/z%C3%A1lohy%202024";
  source.uris = "# dragged\r\n" + base + "/x.zip\r\n" + base + "/y.txt\r\n";
  const long uriList = long(source.Atom("text/uri-list"));
  RECT r;
  GetWindowRect(edit->Handle(), &r);
  auto at = [](long x, long y) { return (x << 16) | y; };

  source.Send(target, "XdndEnter", {long(source.window), 5L << 24, uriList, 0, 0});
  source.Send(target, "XdndPosition", {long(source.window), 0, at(r.Left + 250, r.Top + 80), CurrentTime,
                                       long(source.Atom("XdndActionCopy"))});
  EXPECT_EQ(source.Await("XdndStatus") & 1, 0) << "the form itself takes no files";
  source.Send(target, "XdndPosition", {long(source.window), 0, at(r.Left + 20, r.Top + 5), CurrentTime,
                                       long(source.Atom("XdndActionCopy"))});
  EXPECT_EQ(source.Await("XdndStatus") & 1, 1);
  source.Send(target, "XdndDrop", {long(source.window), 0, CurrentTime});
  EXPECT_EQ(source.Await("XdndFinished") & 1, 1);
  EXPECT_TRUE(PumpUntil([&] { return !edit->Text().empty(); }));
  EXPECT_EQ(edit->Text(), AnsiString(tmp.path().string()) + "/zálohy 2024/");

  form->Free();
  XCloseDisplay(dpy);
}

}  // namespace
