-- The standard opponent: the built-in computer opponent's rules, written as a script.
-- Each frame it counts its side, then: a worker puts up a base when there is none, a worker
-- goes mining while money is low and nobody mines, the base trains up to ten workers, and
-- idle workers go after the enemy once money is plentiful.

local side = game.side
local NEUTRAL, WORKER, BASE = game.NEUTRAL, game.WORKER, game.BASE
local Alive, AliveVerb = game.field("Alive"), game.field("Alive", "Verb")
local KindSide, XY = game.field("Kind", "Side"), game.field("X", "Y")
local single, round, random, order = game.single, game.round, game.random, game.order
local count = game.count

-- An object's kind and side never change: the lists of own workers, own bases, enemies and
-- neutral objects, in index order, grow as objects appear.
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

-- Object o builds type t at a site near itself ("stroyka t,x,y"): offsets -49 to +24 on each
-- axis, four draws.
local function build_near(o, t)
  local r1, r2 = random(25), random(50)
  local r3, r4 = random(25), random(50)
  local x, y = XY(o)
  order(o, 1, "stroyka", t, round(x + r1 - r2), round(y + r3 - r4))
end

-- The nearest neutral object closer than 1000 units, lowest index on ties; -1 when none.
-- Differences and the sum are stored as singles, as the rules store them.
local function nearest_resource(a)
  local ax, ay = XY(a)
  local best, result = 1000000, -1
  for k = 1, #neutral do
    local j = neutral[k]
    local x, y = XY(j)
    local dx, dy = single(x - ax), single(y - ay)
    local q = single(dx * dx + dy * dy)
    if q < best then best, result = q, j end
  end
  return result
end

-- The last of the listed objects that is alive, or -1; the dead after it leave the list.
local function last_alive(list)
  for k = #list, 1, -1 do
    if Alive(list[k]) then return list[k] end
    list[k] = nil
  end
  return -1
end

local idle = {}  -- its first `idlers` entries count

function think()
  learn()
  local last, alive, miners, idlers = -1, 0, 0, 0
  -- The rules never bring the dead back: a dead worker leaves the list for good.
  local kept = 0
  for k = 1, #workers do
    local i = workers[k]
    local live, verb = AliveVerb(i)
    if live then
      kept = kept + 1
      workers[kept] = i
      last = i
      alive = alive + 1
      if verb == "dobicha" then miners = miners + 1 end
      if verb == "" then
        idlers = idlers + 1
        idle[idlers] = i
      end
    end
  end
  for k = #workers, kept + 1, -1 do workers[k] = nil end
  local base, enemy = last_alive(bases), last_alive(enemies)
  local money = game.money()

  if base < 0 and last >= 0 then
    build_near(last, BASE)
    order(last, 2, "")
  end
  if money < 100 and alive <= 3 and miners == 0 and idlers > 0 then
    local r = nearest_resource(idle[1])
    if r >= 0 then
      order(idle[1], 1, "idtiza", r)
      order(last, 2, "")
    end
  end
  if alive < 10 and base >= 0 then
    build_near(base, WORKER)
  end
  if money > 100 and enemy >= 0 and idlers > 0 then
    for k = 1, idlers do order(idle[k], 1, "idtiza", enemy) end
    order(last, 2, "")
  end
end
