#pragma once
// The catalogue program's main body: the process-wide preparations every window relies on,
// then the frame for the life of the program.
namespace tbk {

// Runs on the program's first logical thread; returns when the frame has ended.
void MainProgram();

// Registration with the structure upgrader and the crash-marker check, once per process.
void prepareStartup();

namespace detail {
// Lets a test run the once-per-process part of start-up again.
void forgetStartupPrepared();
} // namespace detail

} // namespace tbk
