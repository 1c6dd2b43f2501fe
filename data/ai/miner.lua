-- Miner: builds up its economy first, with up to four miners and twelve workers, and
-- attacks only with eight workers or more and money to spare, keeping its miners at work.

local side = game.side
local NEUTRAL, WORKER, BASE = game.NEUTRAL, game.WORKER, game.BASE
local Alive, AliveVerb = game.field("Alive"), game.field("Alive", "Verb")
local KindSide, XY = game.field("Kind", "Side"), game.field("X", "Y")
local order, random, round, count = game.order, game.random, game.round, game.count

local MINERS, WORKERS, ARMY, RESERVE = 4, 12, 8, 150

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

local function nearest(list, a)
  local ax, ay = XY(a)
  local best, result = math.huge, -1
  for k = 1, #list do
    local j = list[k]
    if Alive(j) then
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

-- Workers on their way to or from a deposit count as miners too.
local busy = {}

function think()
  learn()
  local base, alive, miners, idle = -1, 0, 0, {}
  for k = 1, #bases do
    if Alive(bases[k]) then base = bases[k] end
  end
  for k = 1, #workers do
    local i = workers[k]
    local live, verb = AliveVerb(i)
    if not live then
      busy[i] = nil
    else
      alive = alive + 1
      if verb == "dobicha" then busy[i] = true end
      if busy[i] then miners = miners + 1 end
      if verb == "" and not busy[i] then idle[#idle + 1] = i end
      if verb == "" and busy[i] then busy[i] = nil end
    end
  end
  local money = game.money()
  if base < 0 then
    if idle[1] then build_near(idle[1], BASE) end
    return
  end
  if alive < WORKERS then build_near(base, WORKER) end
  local k = 1
  while miners < MINERS and idle[k] do
    local r = nearest(neutral, idle[k])
    if r < 0 then break end
    order(idle[k], 1, "idtiza", r)
    busy[idle[k]] = true
    miners, k = miners + 1, k + 1
  end
  if alive >= ARMY and money > RESERVE then
    for j = k, #idle do
      local e = nearest(enemies, idle[j])
      if e >= 0 then order(idle[j], 1, "idtiza", e) end
    end
  end
end
