#include "script/ai_api.h"

#include <array>
#include <cstring>
#include <lua.hpp>
#include <string_view>

#include "game/order_language.h"
#include "script/lua_sandbox.h"
#include "util/numtext.h"

// Functions called from Lua: no C++ object with a destructor lives across a call that raises.

namespace {

enum class Field : uint8_t {
  Rassa,
  Kind,
  Side,
  Energy,
  Cargo,
  X,
  Y,
  Angle,
  Frame,
  Action,
  AttackIndex,
  Thought1,
  Thought2,
  BuildProgress,
  Selected,
  Alive,
  Verb
};
constexpr std::array<const char*, 17> kFieldNames = {
    "Rassa",    "Kind",          "Side",     "Energy", "Cargo",       "X",
    "Y",        "Angle",         "Frame",    "Action", "AttackIndex", "Thought1",
    "Thought2", "BuildProgress", "Selected", "Alive",  "Verb"};

AiTurn& Turn(lua_State* L) {
  auto* turn = static_cast<AiTurn*>(LuaSandbox::Of(L).host());
  if (turn == nullptr || turn->TheWorld == nullptr) luaL_error(L, "game: no match is running");
  return *turn;
}

// The object at argument `arg`, or nullptr when the index is outside Objects.
const TObyekt* ObjectArg(lua_State* L, int arg) {
  const World& w = *Turn(L).TheWorld;
  int isInteger = 0;
  const lua_Integer i = lua_tointegerx(L, arg, &isInteger);
  if (!isInteger) luaL_checkinteger(L, arg);  // raises the usual message
  if (i < 0 || static_cast<uint64_t>(i) >= w.Objects.size()) return nullptr;
  return &w.Objects[static_cast<size_t>(i)];
}

void PushString(lua_State* L, std::string_view s) {
  lua_pushlstring(L, s.data(), s.size());
}

void PushField(lua_State* L, const TObyekt& o, Field f) {
  switch (f) {
    case Field::Rassa:
      return lua_pushinteger(L, o.Rassa);
    case Field::Kind:
      return lua_pushinteger(L, o.Kind);
    case Field::Side:
      return lua_pushinteger(L, o.Side);
    case Field::Energy:
      return lua_pushnumber(L, o.Energy.empty() ? 0.0f : o.Energy[0]);
    case Field::Cargo:
      return lua_pushnumber(L, CargoOf(o));
    case Field::X:
      return lua_pushnumber(L, o.X);
    case Field::Y:
      return lua_pushnumber(L, o.Y);
    case Field::Angle:
      return lua_pushnumber(L, o.Angle);
    case Field::Frame:
      return lua_pushnumber(L, o.Frame);
    case Field::Action:
      return lua_pushinteger(L, o.Action);
    case Field::AttackIndex:
      return lua_pushinteger(L, o.AttackIndex);
    case Field::Thought1:
      return PushString(L, o.Thought1);
    case Field::Thought2:
      return PushString(L, o.Thought2);
    case Field::BuildProgress:
      return lua_pushinteger(L, o.BuildProgress);
    case Field::Selected:
      return lua_pushboolean(L, o.Selected);
    case Field::Alive:
      return lua_pushboolean(L, IsAlive(o));
    case Field::Verb:
      return PushString(L, OrderVerb(o.Thought1));
  }
}

Field FieldArg(lua_State* L, int arg) {
  const char* name = luaL_checkstring(L, arg);
  for (size_t k = 0; k < kFieldNames.size(); ++k)
    if (std::strcmp(name, kFieldNames[k]) == 0) return static_cast<Field>(k);
  luaL_error(L, "game: objects have no field '%s'", name);
  return Field::Rassa;
}

// The fields packed in upvalue 1 (five bits each, the first lowest, ended by 31), of the
// object at argument 1; nothing for an index outside Objects.
constexpr lua_Integer kFieldEnd = 31;

// Upvalues 2 to 7 hold "" and the five verbs, pushed without making the string again.
int FieldGetter(lua_State* L) {
  const TObyekt* o = ObjectArg(L, 1);
  if (o == nullptr) return 0;
  int n = 0;
  for (lua_Integer ids = lua_tointeger(L, lua_upvalueindex(1)); (ids & 31) != kFieldEnd;
       ids >>= 5, ++n) {
    const auto f = static_cast<Field>(ids & 31);
    if (f != Field::Verb) {
      PushField(L, *o, f);
      continue;
    }
    const std::string_view verb = OrderVerb(o->Thought1);
    const std::optional<Verb> known = FindVerb(verb);
    if (verb.empty() || known) {
      lua_pushvalue(L, lua_upvalueindex(known ? static_cast<int>(*known) + 3 : 2));
    } else {
      PushString(L, verb);
    }
  }
  return n;
}

int GameField(lua_State* L) {
  const int n = lua_gettop(L);
  luaL_argcheck(L, n >= 1 && n <= 11, 1, "one to eleven field names");
  lua_Integer ids = kFieldEnd << (5 * n);
  for (int k = 1; k <= n; ++k) ids |= static_cast<lua_Integer>(FieldArg(L, k)) << (5 * (k - 1));
  lua_pushinteger(L, ids);
  lua_pushliteral(L, "");
  for (std::string_view verb : kVerbWords) PushString(L, verb);
  lua_pushcclosure(L, FieldGetter, 2 + static_cast<int>(kVerbWords.size()));
  return 1;
}

int GameGet(lua_State* L) {
  const Field f = FieldArg(L, 2);
  const TObyekt* o = ObjectArg(L, 1);
  if (o == nullptr) return 0;
  PushField(L, *o, f);
  return 1;
}

int GameObject(lua_State* L) {
  const TObyekt* o = ObjectArg(L, 1);
  if (o == nullptr) return 0;
  lua_createtable(L, 0, static_cast<int>(kFieldNames.size()) + 1);
  lua_pushvalue(L, 1);
  lua_setfield(L, -2, "Index");
  for (size_t k = 0; k < kFieldNames.size(); ++k) {
    PushField(L, *o, static_cast<Field>(k));
    lua_setfield(L, -2, kFieldNames[k]);
  }
  return 1;
}

int GameFrame(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(Turn(L).Frame));
  return 1;
}

int GameCount(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(Turn(L).TheWorld->Objects.size()));
  return 1;
}

int GameMoney(lua_State* L) {
  const AiTurn& t = Turn(L);
  const lua_Integer side = luaL_optinteger(L, 1, t.Side);
  if (!IsPlayerSide(static_cast<int32_t>(side)) || side != static_cast<int32_t>(side)) return 0;
  lua_pushnumber(L, t.TheWorld->Sides[static_cast<size_t>(side)].Money);
  return 1;
}

// x rounded to a 32-bit float, as the rules store their numbers.
int GameSingle(lua_State* L) {
  lua_pushnumber(L, static_cast<float>(luaL_checknumber(L, 1)));
  return 1;
}

// x as the rules make a real an integer: the nearest, halves to the even one, within the
// 32-bit range (NaN gives 0).
int GameRound(lua_State* L) {
  lua_pushinteger(L, RoundHalfEven(luaL_checknumber(L, 1)));
  return 1;
}

// A draw of the rules' generator: 0 .. n-1.
int GameRandom(lua_State* L) {
  const lua_Integer n = luaL_checkinteger(L, 1);
  luaL_argcheck(L, n >= 1 && n <= UINT32_MAX, 1, "must be from 1 to 4294967295");
  lua_pushinteger(L, Turn(L).TheWorld->Rng.Next(static_cast<uint32_t>(n)));
  return 1;
}

int GameRaces(lua_State* L) {
  lua_pushinteger(L, static_cast<lua_Integer>(Turn(L).TheWorld->Catalogue.size()));
  return 1;
}

int GameTypes(lua_State* L) {
  const World& w = *Turn(L).TheWorld;
  const lua_Integer r = luaL_checkinteger(L, 1);
  if (r < 0 || static_cast<uint64_t>(r) >= w.Catalogue.size()) return 0;
  lua_pushinteger(L, static_cast<lua_Integer>(w.Catalogue[static_cast<size_t>(r)].Types.size()));
  return 1;
}

int GameType(lua_State* L) {
  const World& w = *Turn(L).TheWorld;
  const TOpisan* t = FindType(w, static_cast<int32_t>(luaL_checkinteger(L, 1)),
                              static_cast<int32_t>(luaL_checkinteger(L, 2)));
  if (t == nullptr) return 0;
  lua_createtable(L, 0, 10);
  PushString(L, t->Name);
  lua_setfield(L, -2, "Name");
  lua_pushnumber(L, t->Radius);
  lua_setfield(L, -2, "Radius");
  lua_pushnumber(L, t->Energies.empty() ? 0.0f : t->Energies[0].Value);
  lua_setfield(L, -2, "Health");
  lua_pushboolean(L, !t->Speeds.empty());
  lua_setfield(L, -2, "Moves");
  lua_pushnumber(L, t->Attacks.empty() ? 0.0f : t->Attacks[0].Strength);
  lua_setfield(L, -2, "Attack");
  lua_pushnumber(L, t->Mining.empty() ? 0.0f : t->Mining[0].Capacity);
  lua_setfield(L, -2, "Capacity");
  lua_pushnumber(L, t->PriceResources.empty() ? 0.0f : t->PriceResources[0].Amount);
  lua_setfield(L, -2, "Price");
  lua_pushboolean(L, t->IsResource);
  lua_setfield(L, -2, "Resource");
  lua_createtable(L, static_cast<int>(t->Buildables.size()), 0);
  for (size_t k = 0; k < t->Buildables.size(); ++k) {
    PushString(L, t->Buildables[k]);
    lua_rawseti(L, -2, static_cast<lua_Integer>(k) + 1);
  }
  lua_setfield(L, -2, "Builds");
  return 1;
}

// Refuses an order: false and the reason, also shown as a warning.
int Refuse(lua_State* L, const char* reason) {
  LuaSandbox::Of(L).Note(L, reason, "warning");
  lua_pushboolean(L, 0);
  lua_pushstring(L, reason);
  return 2;
}

int GameOrder(lua_State* L) {
  AiTurn& t = Turn(L);
  const lua_Integer i = luaL_checkinteger(L, 1);
  const lua_Integer slot = luaL_checkinteger(L, 2);
  size_t length = 0;
  const char* text = luaL_checklstring(L, 3, &length);
  char reason[200];
  World& w = *t.TheWorld;
  if (slot != 1 && slot != 2) {
    std::snprintf(reason, sizeof reason, "order refused: slot %lld is neither 1 nor 2",
                  static_cast<long long>(slot));
    return Refuse(L, reason);
  }
  if (i < 0 || static_cast<uint64_t>(i) >= w.Objects.size()) {
    std::snprintf(reason, sizeof reason, "order refused: no object %lld (there are %zu)",
                  static_cast<long long>(i), w.Objects.size());
    return Refuse(L, reason);
  }
  TObyekt& o = w.Objects[static_cast<size_t>(i)];
  if (o.Side != t.Side) {
    std::snprintf(reason, sizeof reason, "order refused: object %lld is side %d's, not %d's",
                  static_cast<long long>(i), o.Side, t.Side);
    return Refuse(L, reason);
  }
  if (!IsAlive(o)) {
    std::snprintf(reason, sizeof reason, "order refused: object %lld is dead",
                  static_cast<long long>(i));
    return Refuse(L, reason);
  }
  std::string& thought = slot == 1 ? o.Thought1 : o.Thought2;
  if (lua_gettop(L) > 3) {
    // A verb and its numbers: the order's text as the order language writes it.
    const std::optional<Verb> verb = FindVerb(std::string_view(text, length));
    if (!verb) {
      std::snprintf(reason, sizeof reason, "order refused: '%.60s' is not a verb", text);
      return Refuse(L, reason);
    }
    Order order{*verb, {}};
    const int count = NumberCount(*verb);
    for (int k = 0; k < count; ++k) {
      int isInteger = 0;
      const lua_Integer n = lua_tointegerx(L, 4 + k, &isInteger);
      if (!isInteger || n != static_cast<int32_t>(n)) {
        std::snprintf(reason, sizeof reason,
                      "order refused: '%s' takes %d whole numbers, argument %d is not one", text,
                      count, 4 + k);
        return Refuse(L, reason);
      }
      order.Numbers[static_cast<size_t>(k)] = static_cast<int32_t>(n);
    }
    thought = OrderText(order);
  } else {
    const std::string_view order(text, length);
    if (length > 0 && !ParseOrder(order)) {
      std::snprintf(reason, sizeof reason, "order refused: '%.60s' is not an order", text);
      return Refuse(L, reason);
    }
    thought.assign(order);
  }
  lua_pushboolean(L, 1);
  return 1;
}

}  // namespace

int OpenAiApi(lua_State* L) {
  const AiTurn& t = Turn(L);
  static const luaL_Reg kGame[] = {
      {"frame", GameFrame},   {"count", GameCount},   {"money", GameMoney},   {"field", GameField},
      {"get", GameGet},       {"object", GameObject}, {"single", GameSingle}, {"round", GameRound},
      {"random", GameRandom}, {"races", GameRaces},   {"types", GameTypes},   {"type", GameType},
      {"order", GameOrder},   {nullptr, nullptr}};
  luaL_newlib(L, kGame);
  lua_pushinteger(L, t.Side);
  lua_setfield(L, -2, "side");
  lua_pushinteger(L, kNeutralSide);
  lua_setfield(L, -2, "NEUTRAL");
  lua_pushinteger(L, kWorkerKind);
  lua_setfield(L, -2, "WORKER");
  lua_pushinteger(L, kBaseKind);
  lua_setfield(L, -2, "BASE");
  lua_setglobal(L, "game");
  return 0;
}
