// Ending the program the ordinary way when the system asks it to: at
// SIGTERM, SIGHUP or SIGINT (a logout, a shutdown, Ctrl+C in a terminal) the
// program goes through the same shutdown as its Exit command, so the device
// and its paper are kept.
#pragma once

#include <functional>

// From now on those signals call `quit` on the thread of the event loop,
// at its next turn. The signal handler itself only writes a byte to a pipe.
void QuitOnSignals(std::function<void()> quit);
