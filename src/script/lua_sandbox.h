// One Lua 5.4 state for an untrusted script: safe libraries only, an instruction budget per
// call and a memory cap, both counted, never timed, so every run stops a runaway script at
// the same instruction. What a script sees never depends on addresses, time or hash seeds:
// pairs and next walk keys in a fixed order, tostring shows no addresses, random numbers come
// from the rules' generator.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "script/lua_arena.h"

struct lua_State;
struct lua_Debug;
struct Random;

inline constexpr int kHookPeriod = 1000;  // instructions between two looks at the budget

// Opens the safe libraries in L (a lua_CFunction, run protected); in sandbox_library.cpp.
int OpenSandboxLibraries(lua_State* L);

// The length of the position a message starts with ("name:12: "), 0 when it has none.
size_t PositionEnd(std::string_view m);

struct SandboxLimits {
  // Per call, in Lua VM instructions: on the machine we measure on, 1.8 ms (a fifth of a
  // frame) for a tight loop, about 6 ms for one that makes a table per step.
  uint64_t Instructions = 500'000;
  size_t Memory = size_t{16} << 20;  // bytes for the whole state
  size_t LongestString = 16384;      // bytes; longer strings are refused
};

class LuaSandbox {
 public:
  // Lines a script prints and notes about it, each one line without its newline.
  using Sink = std::function<void(const std::string&)>;

  LuaSandbox(const SandboxLimits& limits, Sink sink);
  LuaSandbox(const LuaSandbox&) = delete;
  LuaSandbox& operator=(const LuaSandbox&) = delete;

  // A fresh state with the safe libraries; `shown` names the script in messages. False
  // (with Failure set) when the state does not fit in the memory cap.
  bool Open(const std::string& shown);
  // Runs the script's text once, within one call's budget.
  bool Run(std::string_view text);
  // Calls the global function `name` with no arguments, within one call's budget. A missing
  // function is an error.
  bool Call(const char* name);
  // Runs f (a lua_CFunction) protected, within one call's budget: the host's set-up.
  bool Do(int (*f)(lua_State*));
  bool IsOpen() const { return L_ != nullptr; }
  // The reason the last Open, Run or Call failed, as "file:line: error: reason".
  const std::string& Failure() const { return failure_; }

  lua_State* state() const { return L_; }
  // The rules' generator the script draws from (math.random), for the length of a call.
  void SetRandom(Random* rng) { rng_ = rng; }
  Random* random() const { return rng_; }
  // What the host's functions keep for the length of a call.
  void SetHost(void* host) { host_ = host; }
  void* host() const { return host_; }
  const std::string& shown() const { return shown_; }
  const SandboxLimits& Limits() const { return limits_; }
  // Instructions used by the call running now (or the last one).
  uint64_t used() const { return used_; }

  // The whole state as bytes, and back: only into the sandbox it came from.
  std::string Save() const;
  void Restore(const std::string& bytes);
  const void* Identity() const { return arena_.Base(); }

  // The sandbox of a state its functions run in.
  static LuaSandbox& Of(lua_State* L);
  // Counts n more instructions; over the budget the script stops (raises, does not return).
  static void Charge(lua_State* L, uint64_t n);
  // Stops the script for good with reason at the running line (raises).
  [[noreturn]] static void Stop(lua_State* L, const char* reason);
  // A line from the script at its running line ("file:line: note: text"); at most a few
  // dozen a call.
  void Note(lua_State* L, std::string_view text, const char* kind = "note");
  // "file:line: " of the innermost Lua function running, or "file: " outside any.
  std::string Where(lua_State* L) const;

 private:
  static void* Allocate(void* ud, void* block, size_t osize, size_t nsize);
  static void Hook(lua_State* L, lua_Debug* ar);
  bool Protected(int args);
  void BeginCall();
  std::string Message(const std::string& raw) const;

  SandboxLimits limits_;
  Sink sink_;
  LuaArena arena_;
  lua_State* L_ = nullptr;
  std::string shown_;
  std::string failure_;
  Random* rng_ = nullptr;
  void* host_ = nullptr;
  uint64_t used_ = 0;
  uint32_t printed_ = 0;  // lines printed in this call
  // Why the script was stopped for good, where, and the last request the arena refused.
  std::optional<std::string> stopped_;
  struct Request {
    void* Block = nullptr;
    size_t Old = 0;
    size_t New = 0;
  };
  std::optional<Request> refused_;
};
