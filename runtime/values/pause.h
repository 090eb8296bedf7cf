#pragma once
// Waiting a moment for something outside the program, such as another process's lock. On a
// logical thread only that thread waits and the other windows go on: the threads runtime puts
// its own wait in. Anywhere else (tools, plain tests) the process sleeps.
namespace tbk {

// Waits about `ms` milliseconds of real time. On a logical thread a halt meanwhile ends the
// wait by unwinding the thread.
void pauseFor(int ms);

// A wait that suspends the calling logical thread; it answers false, having waited for nothing,
// when the caller is on none.
using PauseHook = bool (*)(int ms);
void setPauseHook(PauseHook hook);

} // namespace tbk
