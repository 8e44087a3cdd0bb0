#pragma once
// Marks on the way from the program's start to its first picture, for finding where start-up
// time goes. Off unless MARUK_STARTUP_TRACE names a file: each mark then appends one line,
// "<monotonic clock in nanoseconds> <what was reached>", so that a tool that started the
// program can set the marks against the moment it started it (bench/startup.sh --timeline).
void TraceStartup(const char* reached);
