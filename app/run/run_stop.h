// A stop of the backup asked for from outside the run: the program asks for
// it on SIGTERM and SIGINT, and the run checks it while it waits, so a dump
// child is stopped and the protocol so far is saved before the program ends.
#pragma once

// Safe to call from a signal handler.
void RequestRunStop();
bool RunStopRequested();
