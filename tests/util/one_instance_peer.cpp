// A second copy of a program for the single-instance tests: its application
// title comes first on the command line, then "message" (say that the first
// copy runs) or "quiet". Exit code 3: it found the first copy and ended;
// 0: it is the first.
#include <string>

#include "platform/gui/application.h"
#include "platform/rtl/text.h"
#include "util/components/one_instance.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  Application->SetTitle(Utf8ToAnsi(argv[1]));
  auto* guard = new TUtlOneInstance(Application);
  guard->SetShowMessage(std::string(argv[2]) == "message");
  // As a stored form does: the check runs when the component is loaded.
  guard->BeginLoading();
  guard->EndLoading();
  Application->ProcessMessages();  // a requested end arrives as a message
  return Application->Terminated() ? 3 : 0;
}
