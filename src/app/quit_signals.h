// SIGTERM, SIGINT and SIGHUP end the window's event loop as the Quit entry does, so that the
// recording gets its last lines and the sound device is closed: each handler writes the
// signal's number to a pipe that the event loop watches.
#pragma once

#include <optional>

// Once, before the event loop: the handlers set up and the pipe's reading end (non-blocking);
// -1 when that failed or was done before.
int QuitSignalPipe();
// A signal's byte read from the pipe: the exit status 128 + its number; none when none came.
std::optional<int> QuitStatus(int pipe);
