#include "script/lua_sandbox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <lua.hpp>

#include "util/random.h"

// Lua raises errors by longjmp: functions called from Lua keep no C++ object with a
// destructor alive across a call that can raise.

namespace {

constexpr uint32_t kPrintLines = 50;  // lines shown per call
constexpr size_t kShortString = 40;   // Lua's longest interned string

int OnError(lua_State* L) {
  char where[300];
  std::snprintf(where, sizeof where, "%s", LuaSandbox::Of(L).Where(L).c_str());
  const char* m = lua_type(L, 1) == LUA_TSTRING ? lua_tostring(L, 1) : nullptr;
  if (m == nullptr) {
    lua_pushfstring(L, "%s(an error object of type %s)", where, luaL_typename(L, 1));
  } else if (PositionEnd(m) == 0) {
    lua_pushfstring(L, "%s%s", where, m);
  } else {
    lua_pushvalue(L, 1);
  }
  return 1;
}

}  // namespace

LuaSandbox::LuaSandbox(const SandboxLimits& limits, Sink sink)
    : limits_(limits), sink_(std::move(sink)), arena_(limits.Memory) {}

LuaSandbox& LuaSandbox::Of(lua_State* L) {
  return **static_cast<LuaSandbox**>(lua_getextraspace(L));
}

void* LuaSandbox::Allocate(void* ud, void* block, size_t osize, size_t nsize) {
  auto& s = *static_cast<LuaSandbox*>(ud);
  const bool fresh = block == nullptr;
  if (fresh && osize == LUA_TSTRING && nsize > kShortString + 32) {
    // Long strings are never shared, so their sizes are the script's alone: charge them.
    if (nsize > s.limits_.LongestString + 64 && s.L_ != nullptr && !s.stopped_) {
      s.stopped_ = s.Where(s.L_) + "error: a string of about " + std::to_string(nsize) +
                   " bytes is longer than the " + std::to_string(s.limits_.LongestString) +
                   " allowed";
      lua_sethook(s.L_, Hook, LUA_MASKCOUNT, 1);
      return nullptr;
    }
    s.used_ += nsize / 16;
  }
  void* p = s.arena_.Realloc(block, fresh ? 0 : osize, nsize);
  if (p != nullptr || nsize == 0) {
    if (nsize > 0) s.refused_.reset();
    return p;
  }
  const Request r{block, osize, nsize};
  // Lua collects and asks again once; refused twice, the script is out of memory.
  if (s.refused_ && s.refused_->Block == r.Block && s.refused_->Old == r.Old &&
      s.refused_->New == r.New && s.L_ != nullptr && !s.stopped_) {
    s.stopped_ = s.Where(s.L_) + "error: out of memory (the script's " +
                 std::to_string(s.limits_.Memory) + " bytes are full)";
    lua_sethook(s.L_, Hook, LUA_MASKCOUNT, 1);
  }
  s.refused_ = r;
  return nullptr;
}

void LuaSandbox::Hook(lua_State* L, lua_Debug*) {
  LuaSandbox& s = Of(L);
  if (!s.stopped_) {
    s.used_ += kHookPeriod;
    if (s.used_ <= s.limits_.Instructions) return;
  }
  Charge(L, 0);
}

void LuaSandbox::Charge(lua_State* L, uint64_t n) {
  LuaSandbox& s = Of(L);
  s.used_ += n;
  char reason[160];
  if (!s.stopped_ && s.used_ <= s.limits_.Instructions) return;
  std::snprintf(reason, sizeof reason, "the budget of %llu instructions per call is used up",
                static_cast<unsigned long long>(s.limits_.Instructions));
  Stop(L, reason);
}

void LuaSandbox::Stop(lua_State* L, const char* reason) {
  char message[600];
  {
    LuaSandbox& s = Of(L);
    if (!s.stopped_) s.stopped_ = s.Where(L) + "error: " + reason;
    std::snprintf(message, sizeof message, "%s", s.stopped_->c_str());
    // Every instruction from now on raises again, whatever the script catches.
    lua_sethook(L, Hook, LUA_MASKCOUNT, 1);
    if (s.L_ != L) lua_sethook(s.L_, Hook, LUA_MASKCOUNT, 1);
  }
  lua_pushstring(L, message);
  lua_error(L);
  __builtin_unreachable();
}

std::string LuaSandbox::Where(lua_State* L) const {
  lua_Debug ar;
  for (int level = 0; lua_getstack(L, level, &ar) != 0; ++level) {
    if (lua_getinfo(L, "Sl", &ar) == 0 || ar.currentline < 0) continue;
    return std::string(ar.short_src) + ":" + std::to_string(ar.currentline) + ": ";
  }
  return shown_ + ": ";
}

void LuaSandbox::Note(lua_State* L, std::string_view text, const char* kind) {
  if (++printed_ > kPrintLines) {
    if (printed_ == kPrintLines + 1) sink_(Where(L) + "note: further lines of this call not shown");
    return;
  }
  sink_(Where(L) + kind + ": " + std::string(text));
}

bool LuaSandbox::Open(const std::string& shown) {
  shown_ = shown;
  L_ = nullptr;
  arena_.Clear();
  lua_State* L = lua_newstate(Allocate, this);
  if (L == nullptr) {
    failure_ = shown_ + ": error: the script's " + std::to_string(limits_.Memory) +
               " bytes cannot hold a Lua state";
    return false;
  }
  *static_cast<LuaSandbox**>(lua_getextraspace(L)) = this;
  L_ = L;
  BeginCall();
  lua_pushcfunction(L_, OpenSandboxLibraries);
  return Protected(0);
}

bool LuaSandbox::Run(std::string_view text) {
  BeginCall();
  const std::string chunk = "@" + shown_;
  if (luaL_loadbufferx(L_, text.data(), text.size(), chunk.c_str(), "t") != LUA_OK) {
    failure_ = Message(lua_tostring(L_, -1));
    lua_settop(L_, 0);
    return false;
  }
  return Protected(0);
}

bool LuaSandbox::Call(const char* name) {
  BeginCall();
  if (lua_getglobal(L_, name) != LUA_TFUNCTION) {
    lua_settop(L_, 0);
    failure_ = shown_ + ": error: the script has no function " + name;
    return false;
  }
  return Protected(0);
}

bool LuaSandbox::Do(int (*f)(lua_State*)) {
  BeginCall();
  lua_pushcfunction(L_, f);
  return Protected(0);
}

void LuaSandbox::BeginCall() {
  used_ = 0;
  printed_ = 0;
  stopped_.reset();
  refused_.reset();
  lua_settop(L_, 0);
  lua_sethook(L_, Hook, LUA_MASKCOUNT, kHookPeriod);
}

bool LuaSandbox::Protected(int args) {
  const int base = lua_gettop(L_) - args;
  lua_pushcfunction(L_, OnError);
  lua_insert(L_, base);
  const int rc = lua_pcall(L_, args, 0, base);
  if (rc == LUA_OK && !stopped_) {
    lua_settop(L_, 0);
    return true;
  }
  if (stopped_) {
    failure_ = *stopped_;
  } else if (rc == LUA_ERRMEM) {
    failure_ = shown_ + ": error: out of memory";
  } else {
    const char* m = lua_tostring(L_, -1);
    failure_ = Message(m != nullptr ? m : "(no message)");
  }
  lua_settop(L_, 0);
  return false;
}

std::string LuaSandbox::Message(const std::string& raw) const {
  // "name:12: reason" becomes "name:12: error: reason"; positions that errors passed on
  // through coroutines added after the first are dropped.
  const size_t first = PositionEnd(raw);
  if (first == 0) return shown_ + ": error: " + raw;
  std::string_view rest = std::string_view(raw).substr(first);
  while (const size_t more = PositionEnd(rest)) rest.remove_prefix(more);
  return raw.substr(0, first) + "error: " + std::string(rest);
}

std::string LuaSandbox::Save() const {
  if (L_ == nullptr) return {};
  const auto offset = reinterpret_cast<const char*>(L_) - static_cast<const char*>(arena_.Base());
  std::string bytes(sizeof offset, '\0');
  std::memcpy(bytes.data(), &offset, sizeof offset);
  return bytes + arena_.Copy();
}

void LuaSandbox::Restore(const std::string& bytes) {
  if (bytes.empty()) {
    L_ = nullptr;
    arena_.Clear();
    return;
  }
  std::ptrdiff_t offset = 0;
  std::memcpy(&offset, bytes.data(), sizeof offset);
  arena_.Put(bytes.substr(sizeof offset));
  L_ = reinterpret_cast<lua_State*>(static_cast<char*>(const_cast<void*>(arena_.Base())) + offset);
}
