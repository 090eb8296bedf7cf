#pragma once
// Small signals to the user: the beep of a rejected entry and the wait cursor.
namespace tbk {

// The runtime's beep; every window passes the same values (150 and 16), which choose nothing
// here beyond the system's bell.
void beep(int sound = 0, int repeat = 0);
// How many beeps were given since the program started (for tests of rejected entries).
int beepCount();

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace tbk
