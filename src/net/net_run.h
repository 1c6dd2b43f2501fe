// The headless network runs: --host (a hub and this peer), --join (a peer), --serve (a relay).
#pragma once

#include "app/options.h"

// Exit status 4 when the network fails: refused, unreachable, a peer that stopped answering.
inline constexpr int kNetworkFailed = 4;

int RunNetwork(const Invocation& run);
