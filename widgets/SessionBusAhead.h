// The desktop's session bus, connected ahead.  The first control given a
// text asks the accessibility bridge whether it is active, and the bridge
// waits for the program's first connection to the session bus; where the
// desktop names no bus, the bus library looks for one, forking the
// program.  Begun on a thread of its own while the application object is
// being made, the connection is made, or known to be missing, by the time
// the first window is built.
#pragma once

namespace widgets {

// Begins the connection: once, while or after the application object is
// made.
void ConnectSessionBusAhead();
// Waits for it to be made; before the application object goes.
void WaitForSessionBusAhead();

}  // namespace widgets
