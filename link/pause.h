// A fixed pause between commands that keeps the caller's events running:
// the window repaints, its lamp blinks and its clock ticks while a 16 s
// factory reset waits, instead of showing as "not responding".
#pragma once

namespace kt {

// Returns after ms milliseconds (a precise timer), having processed the
// thread's events meanwhile. Whoever calls it while a window is up keeps
// that window disabled: the pause guards nothing against re-entry. Without
// an application object (a plain program, a worker without an event
// dispatcher) the thread sleeps instead.
void Pause(int ms);

}  // namespace kt
