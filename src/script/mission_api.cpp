// The table `mission` and the call of `update(events)`.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <lua.hpp>
#include <type_traits>

#include "game/level.h"
#include "game/order_language.h"
#include "script/mission.h"
#include "util/cp1251.h"

// Functions called from Lua: no C++ object with a destructor lives across a call that raises.

namespace {

static_assert(std::is_standard_layout_v<MissionTurn>);

constexpr size_t kMaxObjects = 100000;  // the world's objects, beyond which spawns fail
constexpr uint64_t kSpawnCost = 1000;   // instructions charged per spawn
constexpr size_t kMaxAreas = 32;        // areas a mission may watch
constexpr size_t kMaxAlarms = 256;      // frames a mission may wait for at once
constexpr size_t kLongestName = 40;     // bytes of an area's name
constexpr size_t kLongestBanner = 200;  // bytes of a banner message
constexpr double kMaxMoney = 1e9;       // as the level format allows
constexpr double kMaxPlace = 1e6;       // world units from the origin
const char* const kEventNames[] = {"frame", "died", "built", "entered"};

MissionTurn& Turn(lua_State* L) {
  auto* turn = reinterpret_cast<MissionTurn*>(LuaSandbox::Of(L).host());
  if (turn == nullptr || turn->Ai.TheWorld == nullptr || turn->State == nullptr)
    luaL_error(L, "mission: no match is running");
  return *turn;
}

World& TheWorld(lua_State* L) {
  return *Turn(L).Ai.TheWorld;
}

// A real argument within +-limit.
float Place(lua_State* L, int arg, double limit) {
  const lua_Number v = luaL_checknumber(L, arg);
  luaL_argcheck(L, std::fabs(v) <= limit, arg, "out of range");
  return static_cast<float>(v);
}

// An integer or a word as the level format names races and types ("ludi", "Крестьянин").
void NameArg(lua_State* L, int arg, char* out, size_t size) {
  if (lua_type(L, arg) == LUA_TNUMBER) {
    std::snprintf(out, size, "%lld", static_cast<long long>(luaL_checkinteger(L, arg)));
    return;
  }
  size_t length = 0;
  const char* s = luaL_checklstring(L, arg, &length);
  luaL_argcheck(L, length < size, arg, "too long a name");
  std::memcpy(out, s, length + 1);
}

// Writes an order into slot 1 or 2; false when it does not parse (empty is no order).
bool PutOrder(TObyekt& o, int slot, const char* text, size_t length) {
  const std::string_view order(text, length);
  if (length > 0 && !ParseOrder(order)) return false;
  (slot == 1 ? o.Thought1 : o.Thought2).assign(order);
  return true;
}

// spawn(race, type, side, x, y [, heading [, order]]): the new object's index.
int MissionSpawn(lua_State* L) {
  char race[64];
  char type[64];
  NameArg(L, 1, race, sizeof race);
  NameArg(L, 2, type, sizeof type);
  const lua_Integer side = luaL_checkinteger(L, 3);
  luaL_argcheck(L, IsPlayerSide(static_cast<int32_t>(side)) || side == kNeutralSide, 3,
                "a side is 0 to 3 or 555 (neutral)");
  const float x = Place(L, 4, kMaxPlace);
  const float y = Place(L, 5, kMaxPlace);
  const float heading = lua_isnoneornil(L, 6) ? 0.0f : Place(L, 6, 360.0);
  size_t length = 0;
  const char* order = luaL_optlstring(L, 7, "", &length);
  World& w = TheWorld(L);
  if (w.Objects.size() >= kMaxObjects) LuaSandbox::Stop(L, "too many objects to spawn more");
  LuaSandbox::Charge(L, kSpawnCost);
  int32_t rassa = -1;
  int32_t kind = -1;
  bool found = false;
  bool ordered = true;
  {
    std::vector<size_t> bad;
    found = FindRaceType(w, ToCp1251(race, bad), ToCp1251(type, bad), rassa, kind);
    if (found) {
      SpawnObject(w, rassa, kind, static_cast<int32_t>(side), x, y, heading);
      ordered = PutOrder(w.Objects.back(), 1, order, length);
    }
  }
  if (!found) return luaL_error(L, "mission.spawn: no type '%s' in race '%s'", type, race);
  if (!ordered) return luaL_error(L, "mission.spawn: '%s' is not an order", order);
  lua_pushinteger(L, static_cast<lua_Integer>(w.Objects.size()) - 1);
  return 1;
}

// order(index, text [, next]): the object's current order (and next); any side's live object.
int MissionOrder(lua_State* L) {
  const lua_Integer i = luaL_checkinteger(L, 1);
  size_t length = 0;
  const char* text = luaL_checklstring(L, 2, &length);
  size_t nextLength = 0;
  const char* next = luaL_optlstring(L, 3, nullptr, &nextLength);
  World& w = TheWorld(L);
  const char* refused = nullptr;
  if (i < 0 || static_cast<uint64_t>(i) >= w.Objects.size()) {
    refused = "order refused: no such object";
  } else if (!IsAlive(w.Objects[static_cast<size_t>(i)])) {
    refused = "order refused: the object is dead";
  } else if ((length > 0 && !ParseOrder({text, length})) ||
             (next != nullptr && nextLength > 0 && !ParseOrder({next, nextLength}))) {
    refused = "order refused: not an order";
  }
  if (refused != nullptr) {
    LuaSandbox::Of(L).Note(L, refused, "warning");
    lua_pushboolean(L, 0);
    lua_pushstring(L, refused);
    return 2;
  }
  TObyekt& o = w.Objects[static_cast<size_t>(i)];
  PutOrder(o, 1, text, length);
  if (next != nullptr) PutOrder(o, 2, next, nextLength);
  lua_pushboolean(L, 1);
  return 1;
}

// money(side, amount): sets the side's treasury.
int MissionMoney(lua_State* L) {
  const lua_Integer side = luaL_checkinteger(L, 1);
  luaL_argcheck(L, IsPlayerSide(static_cast<int32_t>(side)) && side == static_cast<int32_t>(side),
                1, "a side with a treasury is 0 to 3");
  const float amount = Place(L, 2, kMaxMoney);
  TheWorld(L).Sides[static_cast<size_t>(side)].Money = amount;
  return 0;
}

// message(text): the banner's line; "" clears it.
int MissionMessage(lua_State* L) {
  size_t length = 0;
  const char* text = luaL_checklstring(L, 1, &length);
  luaL_argcheck(L, length <= kLongestBanner, 1, "longer than 200 bytes");
  TheWorld(L).Mission.Banner.assign(text, length);
  return 0;
}

// The first verdict stands: true when this one was taken.
int Decide(lua_State* L, int32_t end) {
  World& w = TheWorld(L);
  const bool taken = !w.Mission.Decided;
  if (taken) {
    w.Mission.Decided = true;
    w.Mission.Winner = end;
  }
  lua_pushboolean(L, taken);
  return 1;
}

int MissionWin(lua_State* L) {
  const lua_Integer side = luaL_checkinteger(L, 1);
  luaL_argcheck(L, side == 0 || side == 1, 1, "the winner is side 0 or 1");
  return Decide(L, static_cast<int32_t>(side));
}

int MissionDraw(lua_State* L) {
  return Decide(L, -1);
}

int MissionEnded(lua_State* L) {
  lua_pushboolean(L, TheWorld(L).Mission.Decided);
  return 1;
}

// area(name, x1, y1, x2, y2): watches a rectangle; an "entered" event for every live object
// that comes inside. Objects inside already are not news. The same name again moves it.
int MissionArea(lua_State* L) {
  size_t length = 0;
  const char* name = luaL_checklstring(L, 1, &length);
  luaL_argcheck(L, length > 0 && length <= kLongestName, 1, "a name of 1 to 40 bytes");
  const float x1 = Place(L, 2, kMaxPlace);
  const float y1 = Place(L, 3, kMaxPlace);
  const float x2 = Place(L, 4, kMaxPlace);
  const float y2 = Place(L, 5, kMaxPlace);
  MissionTurn& t = Turn(L);
  MissionState& s = *t.State;
  size_t at = 0;
  while (at < s.Areas.size() && s.Areas[at].Name != std::string_view(name, length)) ++at;
  if (at == s.Areas.size() && at >= kMaxAreas)
    return luaL_error(L, "mission.area: 32 areas at most");
  if (at == s.Areas.size()) s.Areas.emplace_back();
  MissionState::Area& a = s.Areas[at];
  a.Name.assign(name, length);
  a.X1 = std::min(x1, x2);
  a.X2 = std::max(x1, x2);
  a.Y1 = std::min(y1, y2);
  a.Y2 = std::max(y1, y2);
  const World& w = *t.Ai.TheWorld;
  a.Inside.assign(w.Objects.size(), 0);
  for (size_t i = 0; i < w.Objects.size(); ++i) {
    const TObyekt& o = w.Objects[i];
    a.Inside[i] = IsAlive(o) && o.X >= a.X1 && o.X <= a.X2 && o.Y >= a.Y1 && o.Y <= a.Y2;
  }
  return 0;
}

// at(frame): a "frame" event at the first turn at or after that frame of the match.
int MissionAt(lua_State* L) {
  const lua_Integer frame = luaL_checkinteger(L, 1);
  luaL_argcheck(L, frame >= 0, 1, "a frame is 0 or later");
  MissionState& s = *Turn(L).State;
  if (s.Alarms.size() >= kMaxAlarms) return luaL_error(L, "mission.at: 256 frames at most");
  const auto f = static_cast<uint64_t>(frame);
  s.Alarms.insert(std::upper_bound(s.Alarms.begin(), s.Alarms.end(), f), f);
  return 0;
}

}  // namespace

int OpenMissionApi(lua_State* L) {
  static const luaL_Reg kMission[] = {{"spawn", MissionSpawn}, {"order", MissionOrder},
                                      {"money", MissionMoney}, {"message", MissionMessage},
                                      {"win", MissionWin},     {"draw", MissionDraw},
                                      {"ended", MissionEnded}, {"area", MissionArea},
                                      {"at", MissionAt},       {nullptr, nullptr}};
  luaL_newlib(L, kMission);
  lua_setglobal(L, "mission");
  return 0;
}

int CallMissionUpdate(lua_State* L) {
  const MissionTurn& t = Turn(L);
  if (lua_getglobal(L, "update") != LUA_TFUNCTION) return 0;
  const std::vector<MissionEvent>& events = *t.Events;
  lua_createtable(L, static_cast<int>(std::min<size_t>(events.size(), 1 << 20)), 0);
  for (size_t k = 0; k < events.size(); ++k) {
    const MissionEvent& e = events[k];
    LuaSandbox::Charge(L, 10);
    lua_createtable(L, 0, 3);
    lua_pushstring(L, kEventNames[e.Type]);
    lua_setfield(L, -2, "kind");
    lua_pushinteger(L, static_cast<lua_Integer>(e.Value));
    lua_setfield(L, -2, e.Type == MissionEvent::Frame ? "frame" : "object");
    if (e.Type == MissionEvent::Entered) {
      const std::string& name = t.State->Areas[e.Area].Name;
      lua_pushlstring(L, name.data(), name.size());
      lua_setfield(L, -2, "area");
    }
    lua_rawseti(L, -2, static_cast<lua_Integer>(k) + 1);
  }
  lua_call(L, 1, 0);
  return 0;
}
