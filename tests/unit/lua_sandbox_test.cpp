// Hostile and careless scripts: each is stopped with a message naming its file, line and
// reason, nothing crashes, and its side is played by the built-in opponent from then on.
// Also what keeps scripts deterministic: key order, text without addresses, the generator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/side_scripts.h"
#include "test_world.h"

namespace {

World SmallWorld() {
  World w;
  BasicTypes t;
  w.Catalogue.push_back({{t.Worker, t.Base, t.Deposit}});
  w.Rng.Seed = 99;
  Spawn(w, 0, 0, 10, 10);                // 0: own worker
  Spawn(w, 0, 1, 50, 50);                // 1: the enemy's
  Spawn(w, 0, 0, 20, 20).Energy[0] = 0;  // 2: dead
  Spawn(w, 2, kNeutralSide, 0, -100);    // 3: deposit
  w.Sides[0].Money = 50;
  return w;
}

struct ScriptRun {
  std::vector<std::string> lines;
  SideScripts scripts;
  World world = SmallWorld();
  explicit ScriptRun(const std::string& text, SandboxLimits limits = {})
      : scripts(limits, [this](const std::string& line) { lines.push_back(line); }) {
    scripts.Assign(0, {"ai/h.lua", text, AiHash(text)});
    scripts.Restart(0);
  }
  // Plays `frames` turns; the side's messages, or empty while it plays.
  std::string Play(int frames = 1) {
    for (int f = 0; f < frames; ++f) scripts.Play(world, 0, static_cast<uint64_t>(f));
    return scripts.Stopped(0);
  }
};

// The stop message for a script whose think() runs `body`.
std::string Stop(const std::string& body, SandboxLimits limits = {}) {
  ScriptRun run("function think()\n" + body + "\nend\n", limits);
  std::string message = run.Play();
  // Stopped for good: the built-in opponent has the side from now on.
  EXPECT_FALSE(run.scripts.Play(run.world, 0, 1)) << body;
  return message;
}

TEST(HostileScripts, RunawaysStopAtTheirBudgets) {
  EXPECT_EQ(Stop("while true do end"),
            "ai/h.lua:2: error: the budget of 500000 instructions per call is used up");
  // Catching the stop does not help: every instruction after it raises again.
  EXPECT_EQ(Stop("while true do pcall(function() while true do end end) end"),
            "ai/h.lua:2: error: the budget of 500000 instructions per call is used up");
  EXPECT_EQ(Stop("local function f() return 1 + f() end\nf()"),
            "ai/h.lua:2: error: out of memory (the script's 16777216 bytes are full)");
  EXPECT_EQ(Stop("local t = {}\nwhile true do t[#t + 1] = 1 end"),
            "ai/h.lua:3: error: the budget of 500000 instructions per call is used up");
  SandboxLimits small;
  small.Memory = 1 << 20;
  small.Instructions = 100'000'000;
  EXPECT_EQ(Stop("local t = {}\nwhile true do t[#t + 1] = {} end", small),
            "ai/h.lua:3: error: out of memory (the script's 1048576 bytes are full)");
  EXPECT_EQ(Stop("local t = {}\nfor i = 1, 1e9 do t[i] = ('x'):rep(999) .. i end", small),
            "ai/h.lua:3: error: out of memory (the script's 1048576 bytes are full)");
}

TEST(HostileScripts, HugeStringsAreRefused) {
  EXPECT_EQ(Stop("local s = string.rep('x', 2^31)"),
            "ai/h.lua:2: error: string.rep: the result would be longer than the 16384 bytes "
            "allowed");
  EXPECT_EQ(Stop("local s = ('').rep('', 1e15)"),
            "ai/h.lua:2: error: string.rep: the result would be longer than the 16384 bytes "
            "allowed");
  EXPECT_EQ(Stop("local s = 'x'\nwhile true do s = s .. s end"),
            "ai/h.lua:3: error: a string of about 32793 bytes is longer than the 16384 allowed");
}

TEST(HostileScripts, CoroutinesAreBoundedToo) {
  EXPECT_EQ(Stop("while true do coroutine.resume(coroutine.create(function() end)) end"),
            "ai/h.lua:2: error: the budget of 500000 instructions per call is used up");
  // Every coroutine is charged a period up front, so short ones cannot slip past the count.
  EXPECT_EQ(Stop("while true do coroutine.wrap(function() for i = 1, 900 do end end)() end"),
            "ai/h.lua:2: error: the budget of 500000 instructions per call is used up");
  EXPECT_EQ(Stop("local function bomb() coroutine.wrap(bomb)() end\nbomb()"),
            "ai/h.lua:2: error: C stack overflow");
  ScriptRun top("coroutine.yield()\nfunction think() end\n");
  EXPECT_EQ(top.Play(), "ai/h.lua:1: error: attempt to yield from outside a coroutine");
}

TEST(HostileScripts, NoWayOutOfTheSandbox) {
  EXPECT_EQ(Stop("io.write('x')"), "ai/h.lua:2: error: attempt to index a nil value (global 'io')");
  EXPECT_EQ(Stop("os.exit(1)"), "ai/h.lua:2: error: attempt to index a nil value (global 'os')");
  EXPECT_EQ(Stop("require('io')"),
            "ai/h.lua:2: error: attempt to call a nil value (global 'require')");
  EXPECT_EQ(Stop("debug.getregistry()"),
            "ai/h.lua:2: error: attempt to index a nil value (global 'debug')");
  for (const char* gone :
       {"dofile", "loadfile", "collectgarbage", "package", "string.dump", "string.gsub", "utf8"}) {
    ScriptRun run(std::string("assert(") + gone + " == nil)\nfunction think() end\n");
    EXPECT_EQ(run.Play(), "") << gone;
  }
  EXPECT_EQ(Stop("assert(load('\\27Lua\\84\\0'))"),
            "ai/h.lua:2: error: attempt to load a binary chunk (mode is 't')");
  EXPECT_EQ(Stop("load('return 1', 'x', 'b')"),
            "ai/h.lua:2: error: load: scripts load text chunks only");
  EXPECT_EQ(Stop("setmetatable('', {})"),
            "ai/h.lua:2: error: bad argument #1 to 'setmetatable' (table expected, got string)");
  EXPECT_EQ(Stop("getmetatable('').__index = {}"),
            "ai/h.lua:2: error: attempt to index a boolean value");
  EXPECT_EQ(Stop("setmetatable({}, {__gc = print})"),
            "ai/h.lua:2: error: setmetatable: __gc is not available to scripts");
  EXPECT_EQ(Stop("setmetatable({}, {__mode = 'k'})"),
            "ai/h.lua:2: error: setmetatable: __mode is not available to scripts");
  // A metatable is taken as it stands: a __mode added afterwards does nothing, and only the
  // script's own __metatable protects.
  ScriptRun later(R"(
    local mt = {__index = function(t, k) return k .. "!" end}
    local t = setmetatable({}, mt)
    mt.__mode = "k"
    mt.__index = nil
    assert(getmetatable(t) == mt and t.x == "x!")
    assert(not pcall(setmetatable, {}, mt))
    mt.__mode = nil
    setmetatable(t, mt)
    assert(t.x == nil and setmetatable(t, nil) == t and getmetatable(t) == nil)
    setmetatable(t, {__metatable = "mine"})
    assert(getmetatable(t) == "mine" and not pcall(setmetatable, t, {}))
    function think() end)");
  EXPECT_EQ(later.Play(), "");
  EXPECT_EQ(Stop("string.format('%p', {})"),
            "ai/h.lua:2: error: string.format: %p is not available to scripts");
  EXPECT_EQ(Stop("math.randomseed(1)"),
            "ai/h.lua:2: error: math.randomseed: the rules' generator is seeded by the match");
}

TEST(HostileScripts, ErrorsInErrorHandlersEndCleanly) {
  EXPECT_EQ(Stop("local ok, m = xpcall(error, function() error('again') end)\nerror(m, 0)"),
            "ai/h.lua:3: error: error in error handling");
  EXPECT_EQ(Stop("error(setmetatable({}, {__tostring = function() error('x') end}))"),
            "ai/h.lua:2: error: (an error object of type table)");
  EXPECT_EQ(Stop("local function h(m) return xpcall(error, h) end\nxpcall(error, h)\nerror('end')"),
            "ai/h.lua:4: error: end");
  ScriptRun missing("local x = 1\n");
  EXPECT_EQ(missing.Play(), "ai/h.lua: error: the script has no function think");
  ScriptRun syntax("function think(\n");
  EXPECT_EQ(syntax.Play(), "ai/h.lua:2: error: <name> or '...' expected near <eof>");
}

TEST(HostileScripts, OrdersOutsideTheRulesAreRefusedAndTheScriptGoesOn) {
  ScriptRun run(R"(
    function think()
      results = {}
      for _, o in ipairs({{1, 1, "idti 1,1"}, {2, 1, "idti 1,1"}, {0, 1, "idti 1, 1"},
                          {0, 1, "fly 1,1"}, {9, 1, "idti 1,1"}, {-1, 2, ""}, {0, 3, ""},
                          {0, 1, "idti -5,7"}, {0, 2, "dobicha 3"}}) do
        local ok, why = game.order(o[1], o[2], o[3])
        results[#results + 1] = tostring(ok) .. " " .. tostring(why)
      end
      print(table.concat(results, "|"))
    end)");
  EXPECT_EQ(run.Play(2), "");
  EXPECT_EQ(run.world.Objects[0].Thought1, "idti -5,7");
  EXPECT_EQ(run.world.Objects[0].Thought2, "dobicha 3");
  EXPECT_EQ(run.world.Objects[1].Thought1, "");
  ASSERT_EQ(run.lines.size(), 2u * 8u);
  EXPECT_EQ(run.lines[0], "ai/h.lua:7: warning: order refused: object 1 is side 1's, not 0's");
  EXPECT_EQ(run.lines[7],
            "ai/h.lua:10: note: false order refused: object 1 is side 1's, not "
            "0's|false order refused: object 2 is dead|false order refused: 'idti "
            "1, 1' is not an order|false order refused: 'fly 1,1' is not an "
            "order|false order refused: no object 9 (there are 4)|false order "
            "refused: no object -1 (there are 4)|false order refused: slot 3 is "
            "neither 1 nor 2|true nil|true nil");
}

TEST(Determinism, WhatScriptsSeeDependsOnNothingOutside) {
  ScriptRun run(R"(
    function think()
      local t = {zeta = 1, alpha = 2, [10] = 3, [2] = 4, [2.5] = 5, [true] = 6, [false] = 7,
                 beta = 8}
      t.gamma = 9
      t.zeta = nil
      local keys, k = {}, nil
      for key in pairs(t) do keys[#keys + 1] = tostring(key) end
      repeat k = next(t, k); keys[#keys + 1] = tostring(k) until k == nil
      print(table.concat(keys, " "))
      print(tostring({}), tostring(print), tostring(coroutine.create(print)),
            string.format("%s %5.1f %q", {}, 2.25, "a\n"))
      print(math.random(6), math.random(0, 24), game.random(50), game.single(0.1))
      local s = {5, 3, 9, 1, 3}
      table.sort(s, function(a, b) return a > b end)
      print(table.concat(s, ","), table.concat(table.move({1, 2, 3}, 1, 3, 2), ","))
      local ok, why = pcall(pairs, {[{}] = 1})
      print(why)
    end)");
  EXPECT_EQ(run.Play(), "");
  Random r{99};
  const uint32_t d1 = r.Next(6) + 1, d2 = r.Next(25), d3 = r.Next(50);
  ASSERT_EQ(run.lines.size(), 5u);
  EXPECT_EQ(run.lines[0],
            "ai/h.lua:10: note: 2 2.5 10 alpha beta gamma false true 2 2.5 10 "
            "alpha beta gamma false true nil");
  EXPECT_EQ(run.lines[1], "ai/h.lua:11: note: table\tfunction\tthread\ttable   2.2 \"a\\\n\"");
  EXPECT_EQ(run.lines[2], "ai/h.lua:13: note: " + std::to_string(d1) + "\t" + std::to_string(d2) +
                              "\t" + std::to_string(d3) + "\t0.10000000149012");
  EXPECT_EQ(run.world.Rng.Seed, r.Seed);
  EXPECT_EQ(run.lines[3], "ai/h.lua:16: note: 9,5,3,3,1\t1,1,2,3");
  EXPECT_EQ(run.lines[4],
            "ai/h.lua:18: note: keys of type table have no fixed "
            "order: pairs and next take numbers, strings and booleans");
}

}  // namespace
