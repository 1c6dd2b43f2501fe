-- Easy: a gentle opponent for a new player. It thinks only every tenth frame, keeps three
-- workers, one of them mining, and leaves the enemy alone for six minutes; after that it
-- sends a single worker at the enemy every half minute while its money is above 600.

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

local function first_alive(list)
  for k = 1, #list do
    if Alive(list[k]) then return list[k] end
  end
  return -1
end

local function build_near(o, t)
  local x, y = XY(o)
  order(o, 1, "stroyka", t, round(x + random(50) - 25), round(y + random(50) - 25))
end

function think()
  if game.frame() % 10 ~= 0 then return end
  learn()
  local base, alive, miners, idle = first_alive(bases), 0, 0, {}
  for k = 1, #workers do
    local live, verb = AliveVerb(workers[k])
    if live then
      alive = alive + 1
      if verb == "dobicha" or verb == "idtiza" then miners = miners + 1 end
      if verb == "" then idle[#idle + 1] = workers[k] end
    end
  end
  if base < 0 then
    if idle[1] then build_near(idle[1], BASE) end
    return
  end
  if alive < 3 then build_near(base, WORKER) end
  if miners == 0 and idle[1] then
    local r = first_alive(neutral)
    if r >= 0 then order(idle[1], 1, "idtiza", r) end
  elseif game.frame() >= 36000 and game.frame() % 3000 == 0 and game.money() > 600 and idle[1] then
    local e = first_alive(enemies)
    if e >= 0 then order(idle[1], 1, "idtiza", e) end
  end
end
