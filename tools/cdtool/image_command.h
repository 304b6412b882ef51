// cdtool image [--disc cd-r|dvd+r] [--volume ID] [--boot FILE] out.iso PATH...
#pragma once

// argv holds what follows "image". Returns the exit status; usage_status for
// wrong usage (the caller prints the usage).
int RunImageCommand(int argc, char** argv, int usage_status);
