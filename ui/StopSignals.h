#pragma once
// SIGTERM, SIGHUP and SIGINT (a logout, a kill, Ctrl+C) taken as a request
// to stop: the handler only notes the signal, and the program looks at the
// note when it can, stops what it is writing without leaving a part of it,
// and then lets the signal end it as it would have ended it at once.
namespace StopSignals {

// Installs the handlers.
void Catch();
// The signal noted; 0 while none came.
int Caught();
// Becomes readable once a signal was noted (for poll()).
int ReadableOnSignal();
// Ends the program by the noted signal.
[[noreturn]] void EndProgram();

}  // namespace StopSignals
