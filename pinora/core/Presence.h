// Whether the user can be interrupted now. "Busy": the foreground window covers
// its whole monitor (a full-screen program, a presentation, a film), or the
// shell says so (presentation mode, full-screen Direct3D, quiet time). "Away":
// the screen saver runs, or the shell says nobody is there (locked, another
// user's session). Asked only when something is about to be shown, so it costs
// nothing while nothing is due.
#pragma once

namespace pinora {

enum class Presence { Here, Busy, Away };

// "[ALERTS] quiet_when_busy": on unless it is "0".
bool QuietWhenBusy();

// The Windows side. Tests replace the answer with SetPresenceProbe.
Presence CurrentPresence();
using PresenceProbe = Presence (*)();
void SetPresenceProbe(PresenceProbe probe);  // nullptr: the real one

}  // namespace pinora
