// The network runs: --host (a hub and this peer), --join (a peer), --serve (a relay), headless
// here; the window plays the same peer from its timer.
#pragma once

#include "app/options.h"
#include "net/wire.h"

int RunNetwork(const Invocation& run);
