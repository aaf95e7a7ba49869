// quitonsignal.h - a program's graceful end on SIGTERM, SIGINT and SIGHUP.
//
// A session that logs out, a `kill` or Ctrl+C in a terminal would otherwise end the program at
// once, without the work its objects do as they go (the calendar writes its view settings back
// when its document is destroyed). ZuQuitOnTerminationSignals turns those signals into
// QCoreApplication::exit(0), so every event loop returns (a modal dialog's too) and everything is destroyed in order.
// The signal handler only writes one byte to a pipe; the quit happens on the main thread.
// Call it once, after the application object exists.
#pragma once

void ZuQuitOnTerminationSignals();
