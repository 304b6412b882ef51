// The embedded engine runs its own threads in the test program. LeakSanitizer's
// exit check stops every thread with a tracer that now and then crashes on
// them, failing a test that passed; so this program (and the death-test
// children it starts) ends without the leak check. AddressSanitizer still
// catches every memory error, and the server tests keep the leak check.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
