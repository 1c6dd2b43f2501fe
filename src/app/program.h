// The program's runs after its command line: help, version, the data check, the batch, a
// headless script, or the window, which only the toolkit's side can open.
#pragma once

#include <functional>
#include <string>

#include "app/options.h"

// Prints the problem and a hint to standard error; returns the status for bad usage, 2.
int UsageError(const std::string& problem);

// Runs what `run` asks for and returns the exit status; `window` opens the window with the
// options (once the data folder is chosen and a recording's file is open for writing).
// `network` runs --host, --join and --serve (the network sits above this layer).
int RunInvocation(const Invocation& run, const char* argv0,
                  const std::function<int(const WindowOptions&)>& window,
                  const std::function<int(const Invocation&)>& network = {});
