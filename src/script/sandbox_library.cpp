// The libraries a script sees: the safe parts of Lua's own, the rest replaced by versions
// whose work is charged to the budget and whose results never show addresses, time or
// hash seeds.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <lua.hpp>

#include "script/lua_sandbox.h"
#include "util/random.h"

// Lua raises errors by longjmp: functions called from Lua keep no C++ object with a
// destructor alive across a call that can raise.

namespace {

constexpr uint64_t kPrintCost = 100;  // instructions a printed line costs

// Sorting, moving: in Lua, so their work is counted like the script's own (the library's
// sort picks pivots from the clock).
const char* const kPrelude = R"(
local function merge(a, lo, mid, hi, less, tmp)
  local i, j, k = lo, mid + 1, lo
  while i <= mid and j <= hi do
    if less(a[j], a[i]) then tmp[k] = a[j]; j = j + 1 else tmp[k] = a[i]; i = i + 1 end
    k = k + 1
  end
  while i <= mid do tmp[k] = a[i]; i = i + 1; k = k + 1 end
  while j <= hi do tmp[k] = a[j]; j = j + 1; k = k + 1 end
  for m = lo, hi do a[m] = tmp[m] end
end
local function lt(x, y) return x < y end
function table.sort(a, less)
  less = less or lt
  local n, tmp, width = #a, {}, 1
  while width < n do
    local lo = 1
    while lo + width <= n do
      local hi = lo + 2 * width - 1
      if hi > n then hi = n end
      merge(a, lo, lo + width - 1, hi, less, tmp)
      lo = lo + 2 * width
    end
    width = width * 2
  end
end
function table.move(a, f, e, t, b)
  b = b or a
  if e >= f then
    if t > e or t <= f or b ~= a then
      for i = 0, e - f do b[t + i] = a[f + i] end
    else
      for i = e - f, 0, -1 do b[t + i] = a[f + i] end
    end
  end
  return b
end
)";

// Pushes v as text without addresses: __tostring when it has one, else its type's name.
void PushText(lua_State* L, int idx) {
  idx = lua_absindex(L, idx);
  if (luaL_callmeta(L, idx, "__tostring")) {
    if (!lua_isstring(L, -1)) luaL_error(L, "'__tostring' must return a string");
    return;
  }
  switch (lua_type(L, idx)) {
    case LUA_TNIL:
    case LUA_TBOOLEAN:
    case LUA_TNUMBER:
    case LUA_TSTRING:
      luaL_tolstring(L, idx, nullptr);
      return;
    default:
      lua_pushstring(L, luaL_typename(L, idx));
  }
}

int ToString(lua_State* L) {
  luaL_checkany(L, 1);
  PushText(L, 1);
  return 1;
}

// The order of keys for pairs and next: numbers, then strings by bytes, then false, true.
struct Key {
  int Class;  // 0 integer, 1 float, 2 string, 3 boolean
  lua_Integer I;
  lua_Number N;
  const char* S;
  size_t Length;
  lua_Integer Slot;  // where it stands in the keys table
};

Key ReadKey(lua_State* L, int idx) {
  Key k{};
  switch (lua_type(L, idx)) {
    case LUA_TNUMBER:
      if (lua_isinteger(L, idx)) {
        k.Class = 0;
        k.I = lua_tointeger(L, idx);
      } else {
        k.Class = 1;
        k.N = lua_tonumber(L, idx);
      }
      break;
    case LUA_TSTRING:
      k.Class = 2;
      k.S = lua_tolstring(L, idx, &k.Length);
      break;
    case LUA_TBOOLEAN:
      k.Class = 3;
      k.I = lua_toboolean(L, idx);
      break;
    default:
      luaL_error(L,
                 "keys of type %s have no fixed order: pairs and next take numbers, strings "
                 "and booleans",
                 luaL_typename(L, idx));
  }
  return k;
}

bool KeyLess(const Key& a, const Key& b) {
  const int ca = a.Class < 2 ? 0 : a.Class;
  const int cb = b.Class < 2 ? 0 : b.Class;
  if (ca != cb) return ca < cb;
  if (ca == 0) {
    // long double holds every 64-bit integer and double exactly.
    const long double x = a.Class == 0 ? static_cast<long double>(a.I) : a.N;
    const long double y = b.Class == 0 ? static_cast<long double>(b.I) : b.N;
    return x < y;
  }
  if (ca == 2) {
    const int c = std::memcmp(a.S, b.S, std::min(a.Length, b.Length));
    return c != 0 ? c < 0 : a.Length < b.Length;
  }
  return a.I < b.I;
}

int Next(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_settop(L, 2);
  const bool after = !lua_isnil(L, 2);
  const Key from = after ? ReadKey(L, 2) : Key{};
  lua_pushnil(L);  // 3: the best key so far
  Key best{};
  bool found = false;
  uint64_t n = 0;
  lua_pushnil(L);
  while (lua_next(L, 1) != 0) {
    lua_pop(L, 1);
    ++n;
    const Key k = ReadKey(L, -1);
    if ((!after || KeyLess(from, k)) && (!found || KeyLess(k, best))) {
      best = k;
      found = true;
      lua_pushvalue(L, -1);
      lua_replace(L, 3);
    }
  }
  LuaSandbox::Charge(L, n);
  if (!found) {
    lua_pushnil(L);
    return 1;
  }
  lua_pushvalue(L, 3);
  lua_rawget(L, 1);
  return 2;
}

int PairsStep(lua_State* L) {
  lua_Integer pos = lua_tointeger(L, lua_upvalueindex(3));
  for (;;) {
    ++pos;
    if (lua_rawgeti(L, lua_upvalueindex(2), pos) == LUA_TNIL) return 0;
    lua_pushvalue(L, -1);
    if (lua_rawget(L, lua_upvalueindex(1)) != LUA_TNIL) break;
    lua_pop(L, 2);  // taken out during the walk
  }
  lua_pushinteger(L, pos);
  lua_replace(L, lua_upvalueindex(3));
  return 2;
}

int Pairs(lua_State* L) {
  if (luaL_getmetafield(L, 1, "__pairs") != LUA_TNIL) {
    lua_pushvalue(L, 1);
    lua_call(L, 1, 3);
    return 3;
  }
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_settop(L, 1);
  lua_Integer n = 0;
  lua_pushnil(L);
  while (lua_next(L, 1) != 0) {
    lua_pop(L, 1);
    ReadKey(L, -1);
    ++n;
  }
  uint64_t cost = static_cast<uint64_t>(n);
  for (lua_Integer m = n; m > 1; m /= 2) cost += static_cast<uint64_t>(n);
  LuaSandbox::Charge(L, cost);
  lua_createtable(L, static_cast<int>(n), 0);  // 2: keys as lua_next gives them
  lua_Integer slot = 0;
  lua_pushnil(L);
  while (lua_next(L, 1) != 0) {
    lua_pop(L, 1);
    lua_pushvalue(L, -1);
    lua_rawseti(L, 2, ++slot);
  }
  // The keys' records live in a userdata: nothing to free if a later call raises.
  auto* keys = static_cast<Key*>(lua_newuserdatauv(L, sizeof(Key) * static_cast<size_t>(n), 0));
  for (lua_Integer i = 1; i <= n; ++i) {
    lua_rawgeti(L, 2, i);
    keys[i - 1] = ReadKey(L, -1);
    keys[i - 1].Slot = i;
    lua_pop(L, 1);
  }
  std::sort(keys, keys + n, KeyLess);
  lua_createtable(L, static_cast<int>(n), 0);  // 4: the keys in order
  for (lua_Integer i = 0; i < n; ++i) {
    lua_rawgeti(L, 2, keys[i].Slot);
    lua_rawseti(L, 4, i + 1);
  }
  lua_pushvalue(L, 1);
  lua_pushvalue(L, 4);
  lua_pushinteger(L, 0);
  lua_pushcclosure(L, PairsStep, 3);
  lua_pushvalue(L, 1);
  lua_pushnil(L);
  return 3;
}

int Print(lua_State* L) {
  LuaSandbox::Charge(L, kPrintCost);
  const int n = lua_gettop(L);
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (int i = 1; i <= n; ++i) {
    if (i > 1) luaL_addchar(&b, '\t');
    PushText(L, i);
    luaL_addvalue(&b);
  }
  luaL_pushresult(&b);
  size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  LuaSandbox::Of(L).Note(L, std::string_view(text, length));
  return 0;
}

// Keys of the registry and of metatable copies that scripts cannot make.
char kCopiesKey;
char kOriginalKey;

// Whether table t's metatable is protected by the script (its original has __metatable).
bool Protected(lua_State* L, int t) {
  const int top = lua_gettop(L);
  if (!lua_getmetatable(L, t)) return false;
  lua_rawgetp(L, -1, &kOriginalKey);
  bool set = false;
  if (lua_istable(L, -1)) {
    lua_pushliteral(L, "__metatable");
    set = lua_rawget(L, -2) != LUA_TNIL;
  }
  lua_settop(L, top);
  return set;
}

// setmetatable(t, mt) sets a copy of mt, shared by every table given mt and taken afresh at
// every setmetatable with it: metamethods added in between (a __mode that would let the
// collector's timing show) do nothing.
// getmetatable(t) gives mt back, through the copy's __metatable.
int SetMetatable(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  const int t = lua_type(L, 2);
  luaL_argexpected(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table");
  lua_settop(L, 2);
  if (Protected(L, 1)) luaL_error(L, "cannot change a protected metatable");
  if (t == LUA_TNIL) {
    lua_setmetatable(L, 1);
    return 1;
  }
  for (const char* refused : {"__gc", "__mode"}) {
    lua_pushstring(L, refused);
    if (lua_rawget(L, 2) != LUA_TNIL)
      luaL_error(L, "setmetatable: %s is not available to scripts", refused);
    lua_pop(L, 1);
  }
  if (lua_rawgetp(L, LUA_REGISTRYINDEX, &kCopiesKey) != LUA_TTABLE) {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &kCopiesKey);
  }
  // 3: the copies by original; 4: this one's copy.
  lua_pushvalue(L, 2);
  if (lua_rawget(L, 3) != LUA_TTABLE) {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushvalue(L, 2);
    lua_pushvalue(L, 4);
    lua_rawset(L, 3);
  }
  uint64_t fields = 0;
  lua_pushnil(L);
  while (lua_next(L, 4) != 0) {
    lua_pop(L, 1);
    lua_pushvalue(L, -1);
    lua_pushnil(L);
    lua_rawset(L, 4);
    ++fields;
  }
  lua_pushnil(L);
  while (lua_next(L, 2) != 0) {
    lua_pushvalue(L, -2);
    lua_insert(L, -2);
    lua_rawset(L, 4);
    ++fields;
  }
  LuaSandbox::Charge(L, fields);
  lua_pushvalue(L, 2);
  lua_rawsetp(L, 4, &kOriginalKey);
  lua_pushstring(L, "__metatable");
  if (lua_rawget(L, 2) == LUA_TNIL) {
    lua_pop(L, 1);
    lua_pushvalue(L, 2);
  }
  lua_setfield(L, 4, "__metatable");
  lua_pushvalue(L, 4);
  lua_setmetatable(L, 1);
  lua_settop(L, 1);
  return 1;
}

int Load(lua_State* L) {
  size_t length = 0;
  const char* text = lua_tolstring(L, 1, &length);
  luaL_argexpected(L, text != nullptr && lua_type(L, 1) == LUA_TSTRING, 1, "string");
  const char* mode = luaL_optstring(L, 3, "t");
  if (std::strcmp(mode, "t") != 0) luaL_error(L, "load: scripts load text chunks only");
  LuaSandbox::Charge(L, length / 8);
  lua_pushfstring(L, "=%s", luaL_optstring(L, 2, "(load)"));
  const int env = lua_isnone(L, 4) ? 0 : 4;
  if (luaL_loadbufferx(L, text, length, lua_tostring(L, -1), "t") != LUA_OK) {
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
  }
  if (env != 0) {
    lua_pushvalue(L, env);
    if (lua_setupvalue(L, -2, 1) == nullptr) lua_pop(L, 1);
  }
  return 1;
}

// The original library function (upvalue 1) after charging for its work (upvalue 2's kind).
enum Cost : lua_Integer { kTableLength, kUnpackRange, kByteRange, kStringLength, kThread };

int Charged(lua_State* L) {
  const auto kind = lua_tointeger(L, lua_upvalueindex(2));
  uint64_t cost = 0;
  switch (kind) {
    case kTableLength:
      if (lua_type(L, 1) == LUA_TTABLE) cost = lua_rawlen(L, 1);
      break;
    case kUnpackRange:
    case kByteRange: {
      const lua_Integer first = luaL_optinteger(L, 2, 1);
      lua_Integer last = 0;
      if (kind == kUnpackRange)
        last = lua_isnoneornil(L, 3) ? static_cast<lua_Integer>(luaL_len(L, 1))
                                     : luaL_checkinteger(L, 3);
      else
        last = luaL_optinteger(L, 3, first);
      if (last > first) cost = static_cast<uint64_t>(last) - static_cast<uint64_t>(first);
      break;
    }
    case kStringLength:
      if (lua_type(L, 1) == LUA_TSTRING) cost = lua_rawlen(L, 1) / 16;
      break;
    default:
      cost = kHookPeriod;  // a new thread counts from zero: pay its first period now
  }
  LuaSandbox::Charge(L, cost);
  const int n = lua_gettop(L);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, n, LUA_MULTRET);
  return lua_gettop(L);
}

void Wrap(lua_State* L, int table, const char* name, Cost cost) {
  lua_getfield(L, table, name);
  lua_pushinteger(L, cost);
  lua_pushcclosure(L, Charged, 2);
  lua_setfield(L, table, name);
}

// string.find without patterns: the text is searched for as it stands.
int Find(lua_State* L) {
  size_t ls = 0;
  size_t lp = 0;
  const char* s = luaL_checklstring(L, 1, &ls);
  const char* p = luaL_checklstring(L, 2, &lp);
  lua_Integer init = luaL_optinteger(L, 3, 1);
  if (init < 0) init = std::max<lua_Integer>(static_cast<lua_Integer>(ls) + init + 1, 1);
  if (init == 0) init = 1;
  if (init > static_cast<lua_Integer>(ls) + 1) {
    lua_pushnil(L);
    return 1;
  }
  LuaSandbox::Charge(L, (ls / 16 + 1) * (lp / 16 + 1));
  const std::string_view text(s, ls);
  const size_t at = text.find(std::string_view(p, lp), static_cast<size_t>(init - 1));
  if (at == std::string_view::npos) {
    lua_pushnil(L);
    return 1;
  }
  lua_pushinteger(L, static_cast<lua_Integer>(at) + 1);
  lua_pushinteger(L, static_cast<lua_Integer>(at + lp));
  return 2;
}

int Rep(lua_State* L) {
  size_t ls = 0;
  size_t lsep = 0;
  luaL_checklstring(L, 1, &ls);
  const lua_Integer n = luaL_checkinteger(L, 2);
  luaL_optlstring(L, 3, "", &lsep);
  if (n > 0) {
    const size_t most = LuaSandbox::Of(L).Limits().LongestString;
    const auto count = static_cast<uint64_t>(n);
    const uint64_t total = count > most + 1 ? UINT64_MAX : count * ls + (count - 1) * lsep;
    if (total > most)
      luaL_error(L, "string.rep: the result would be longer than the %I bytes allowed",
                 static_cast<lua_Integer>(most));
    LuaSandbox::Charge(L, count + total / 16);
  }
  const int args = lua_gettop(L);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, args, 1);
  return 1;
}

// string.format without %p, and %s showing tables as tostring does.
int Format(lua_State* L) {
  size_t length = 0;
  const char* f = luaL_checklstring(L, 1, &length);
  int arg = 1;
  for (size_t i = 0; i < length; ++i) {
    if (f[i] != '%') continue;
    if (++i < length && f[i] == '%') continue;
    ++arg;
    while (i < length && std::strchr("-+ #0123456789.", f[i]) != nullptr) ++i;
    if (i >= length) break;
    if (f[i] == 'p') luaL_error(L, "string.format: %%p is not available to scripts");
    if (f[i] == 's' && arg <= lua_gettop(L) && lua_type(L, arg) != LUA_TSTRING &&
        lua_type(L, arg) != LUA_TNUMBER) {
      PushText(L, arg);
      lua_replace(L, arg);
    }
  }
  const int args = lua_gettop(L);
  lua_pushvalue(L, lua_upvalueindex(1));
  lua_insert(L, 1);
  lua_call(L, args, 1);
  return 1;
}

int MathRandom(lua_State* L) {
  ::Random* rng = LuaSandbox::Of(L).random();
  if (rng == nullptr) luaL_error(L, "math.random: no match is running");
  const int n = lua_gettop(L);
  if (n == 0) {
    lua_pushnumber(L, rng->Next(UINT32_MAX) / 4294967295.0);
    return 1;
  }
  lua_Integer lo = 1;
  lua_Integer hi = luaL_checkinteger(L, 1);
  if (n >= 2) {
    lo = hi;
    hi = luaL_checkinteger(L, 2);
  }
  luaL_argcheck(L, lo <= hi && static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) < UINT32_MAX,
                n, "interval is empty or wider than 2^32 - 1");
  const auto width =
      static_cast<uint32_t>(static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) + 1);
  lua_pushinteger(L, lo + static_cast<lua_Integer>(rng->Next(width)));
  return 1;
}

int RandomSeed(lua_State* L) {
  return luaL_error(L, "math.randomseed: the rules' generator is seeded by the match");
}

void Remove(lua_State* L, int table, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    lua_pushnil(L);
    lua_setfield(L, table, name);
  }
}

void Set(lua_State* L, int table, const char* name, lua_CFunction f) {
  lua_pushcfunction(L, f);
  lua_setfield(L, table, name);
}

// Replaces a library function by f, which finds the original as its upvalue 1.
void Around(lua_State* L, int table, const char* name, lua_CFunction f) {
  lua_getfield(L, table, name);
  lua_pushcclosure(L, f, 1);
  lua_setfield(L, table, name);
}

}  // namespace

// The length of the position a message starts with ("name:12: "), 0 when it has none.
size_t PositionEnd(std::string_view m) {
  const size_t line = std::min(m.find('\n'), m.size());
  for (size_t i = m.find(':'); i < line; i = m.find(':', i + 1)) {
    size_t j = i + 1;
    while (j < line && m[j] >= '0' && m[j] <= '9') ++j;
    if (j > i + 1 && j + 1 < m.size() && m[j] == ':' && m[j + 1] == ' ') return j + 2;
  }
  return 0;
}

int OpenSandboxLibraries(lua_State* L) {
  const std::pair<const char*, lua_CFunction> libs[] = {{LUA_GNAME, luaopen_base},
                                                        {LUA_TABLIBNAME, luaopen_table},
                                                        {LUA_STRLIBNAME, luaopen_string},
                                                        {LUA_MATHLIBNAME, luaopen_math},
                                                        {LUA_COLIBNAME, luaopen_coroutine}};
  for (const auto& [name, open] : libs) {
    luaL_requiref(L, name, open, 1);
    lua_pop(L, 1);
  }
  lua_pushglobaltable(L);
  const int g = lua_gettop(L);
  Remove(L, g, {"collectgarbage", "dofile", "loadfile", "warn", "require"});
  Set(L, g, "print", Print);
  Set(L, g, "load", Load);
  Set(L, g, "next", Next);
  Set(L, g, "pairs", Pairs);
  Set(L, g, "tostring", ToString);
  Set(L, g, "setmetatable", SetMetatable);
  Wrap(L, g, "tonumber", kStringLength);

  lua_getglobal(L, LUA_STRLIBNAME);
  const int s = lua_gettop(L);
  Remove(L, s, {"dump", "gmatch", "gsub", "match", "pack", "packsize", "unpack"});
  Set(L, s, "find", Find);
  Around(L, s, "rep", Rep);
  Around(L, s, "format", Format);
  Wrap(L, s, "byte", kByteRange);
  // Strings keep their methods; their metatable cannot be had.
  lua_pushliteral(L, "");
  lua_getmetatable(L, -1);
  lua_pushvalue(L, s);
  lua_setfield(L, -2, "__index");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pop(L, 2);

  lua_getglobal(L, LUA_TABLIBNAME);
  const int t = lua_gettop(L);
  Wrap(L, t, "concat", kTableLength);
  Wrap(L, t, "insert", kTableLength);
  Wrap(L, t, "remove", kTableLength);
  Wrap(L, t, "unpack", kUnpackRange);

  lua_getglobal(L, LUA_MATHLIBNAME);
  const int m = lua_gettop(L);
  Set(L, m, "random", MathRandom);
  Set(L, m, "randomseed", RandomSeed);

  lua_getglobal(L, LUA_COLIBNAME);
  const int c = lua_gettop(L);
  Wrap(L, c, "create", kThread);
  Wrap(L, c, "wrap", kThread);
  lua_settop(L, 0);

  if (luaL_loadbufferx(L, kPrelude, std::strlen(kPrelude), "=sandbox", "t") != LUA_OK)
    return lua_error(L);
  lua_call(L, 0, 0);
  return 0;
}
