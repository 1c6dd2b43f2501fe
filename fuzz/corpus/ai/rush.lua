-- Rush: puts up a base, trains a handful of workers and sends every idle one at the nearest
-- enemy at once, whatever the money; one worker mines only when the money is gone.

local side = game.side
local NEUTRAL, WORKER, BASE = game.NEUTRAL, game.WORKER, game.BASE
local Alive, AliveVerb = game.field("Alive"), game.field("Alive", "Verb")
local KindSide, XY = game.field("Kind", "Side"), game.field("X", "Y")
local order, random, round, count = game.order, game.random, game.round, game.count

local known, workers, bases, enemies, neutral = 0, {}, {}, {}, {}
local function learn()
  for i = known, count() - 1 do
    local k, s = KindSide(i)
    if s == NEUTRAL then
      neutral[#neutral + 1] = i
    elseif s ~= side then
      enemies[#enemies + 1] = i
    elseif k == WORKER then
      workers[#workers + 1] = i
    elseif k == BASE then
      bases[#bases + 1] = i
    end
  end
  known = count()
end

-- The live object of the list nearest to object a, or -1.
local function nearest(list, a, live)
  local ax, ay = XY(a)
  local best, result = math.huge, -1
  for k = 1, #list do
    local j = list[k]
    if not live or Alive(j) then
      local x, y = XY(j)
      local q = (x - ax) ^ 2 + (y - ay) ^ 2
      if q < best then best, result = q, j end
    end
  end
  return result
end

local function build_near(o, t)
  local x, y = XY(o)
  order(o, 1, "stroyka", t, round(x + random(50) - 25), round(y + random(50) - 25))
end

function think()
  learn()
  local base, alive, miners, idle = -1, 0, 0, {}
  for k = 1, #bases do
    if Alive(bases[k]) then base = bases[k] end
  end
  for k = 1, #workers do
    local i = workers[k]
    local live, verb = AliveVerb(i)
    if live then
      alive = alive + 1
      if verb == "dobicha" then miners = miners + 1 end
      if verb == "" then idle[#idle + 1] = i end
    end
  end
  local money = game.money()
  if base < 0 then
    if idle[1] then build_near(idle[1], BASE) end
    return
  end
  if alive < 6 then build_near(base, WORKER) end
  local first = 1
  if money < 60 and miners == 0 and idle[1] then
    local r = nearest(neutral, idle[1], true)
    if r >= 0 then
      order(idle[1], 1, "idtiza", r)
      first = 2
    end
  end
  for k = first, #idle do
    local e = nearest(enemies, idle[k], true)
    if e >= 0 then order(idle[k], 1, "idtiza", e) end
  end
end
