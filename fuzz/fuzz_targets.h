// The logic of each fuzz target, callable without libFuzzer (the regression replay test uses
// it too). Each returns an empty string when the input was handled soundly, else what broke.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/world.h"
#include "util/bmp.h"
#include "util/counting_uploader.h"
#include "util/platform.h"

// Two races with a worker, a base, a soldier and (race 0) a deposit; one texture id and
// four one-row animations per type, so the catalogue passes ValidateCatalogue.
World SmallPlayableWorld();

// A fresh directory for this process (under /dev/shm when there is one).
std::string ScratchDir();

// Writes bytes to a file.
void WriteFile(const std::string& path, const uint8_t* data, size_t size);

// Bitmap decoding on arbitrary bytes.
std::string FuzzBmp(const uint8_t* data, size_t size);
// A type description file's bytes loaded into a fresh race row.
std::string FuzzTypeFile(const uint8_t* data, size_t size);
// A race list and its type files: the input split at 0xFF bytes into the list and t0.txt...
std::string FuzzRaceList(const uint8_t* data, size_t size);
// Random objects, order strings and fields on the small world, then a few frames.
std::string FuzzOrders(const uint8_t* data, size_t size);
// The bytes as a script for the headless driver (first byte: options).
std::string FuzzScript(const uint8_t* data, size_t size);
// The shipped data set with one type file changed by the input (appended to, or replaced),
// loaded as the first button does; when the rules accept it, the test level is played.
std::string FuzzLevel(const uint8_t* data, size_t size);
// Bytes as a stream of network messages into the hub and a lockstep peer.
std::string FuzzNetMessages(const uint8_t* data, size_t size);
// The bytes as an AI script playing both sides of a small world with a small budget.
std::string FuzzAiScript(const uint8_t* data, size_t size);
// The bytes as a level's mission on the same small world, with the same checks.
std::string FuzzMission(const uint8_t* data, size_t size);

// Every target by name: the libFuzzer builds (CMake and the Makefile read the names from
// these lines), the corpus folders fuzz/corpus/<name> and the regression replay.
using FuzzLogic = std::string (*)(const uint8_t*, size_t);
struct FuzzTarget {
  const char* Name;
  FuzzLogic Logic;
};
// clang-format off
inline constexpr FuzzTarget kFuzzTargets[] = {
    {"bmp", FuzzBmp},
    {"typefile", FuzzTypeFile},
    {"racelist", FuzzRaceList},
    {"orders", FuzzOrders},
    {"script", FuzzScript},
    {"level", FuzzLevel},
    {"netmsg", FuzzNetMessages},
    {"ai", FuzzAiScript},
    {"mission", FuzzMission},
};
// clang-format on
