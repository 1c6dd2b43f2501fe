-- The standard opponent: the built-in computer opponent's rules, written as a script.
-- Each frame it counts its side, then: a worker puts up a base when there is none, a worker
-- goes mining while money is low and nobody mines, the base trains up to ten workers, and
-- idle workers go after the enemy once money is plentiful.

local side = game.side
local Side, Alive, Kind, Verb = game.field("Side"), game.field("Alive"), game.field("Kind"),
  game.field("Verb")
local X, Y = game.field("X"), game.field("Y")
local single, random, order = game.single, game.random, game.order

-- The nearest integer, halves to the even one, within the range of 32-bit integers.
local function round(v)
  if v ~= v then return 0 end
  if v >= 2147483647 then return 2147483647 end
  if v <= -2147483648 then return -2147483648 end
  local f = math.floor(v)
  local d = v - f
  if d > 0.5 or (d == 0.5 and f % 2 == 1) then f = f + 1 end
  return f
end

-- "stroyka t,x,y" at a site near object o: offsets -49 to +24, four draws.
local function build_near(t, o)
  local r1, r2 = random(25), random(50)
  local r3, r4 = random(25), random(50)
  return "stroyka " .. t .. "," .. round(X(o) + r1 - r2) .. "," .. round(Y(o) + r3 - r4)
end

-- The nearest neutral object closer than 1000 units, lowest index on ties; -1 when none.
-- Differences and the sum are stored as singles, as the rules store them.
local function nearest_resource(a)
  local ax, ay = X(a), Y(a)
  local best, result = 1000000, -1
  for j = 0, game.count() - 1 do
    if Side(j) == game.NEUTRAL then
      local dx, dy = single(X(j) - ax), single(Y(j) - ay)
      local q = single(dx * dx + dy * dy)
      if q < best then best, result = q, j end
    end
  end
  return result
end

function think()
  local base, last, workers, miners, enemy = -1, -1, 0, 0, -1
  local idle = {}
  for i = 0, game.count() - 1 do
    local s = Side(i)
    if s ~= game.NEUTRAL and Alive(i) then
      if s ~= side then
        enemy = i
      else
        local k = Kind(i)
        if k == game.BASE then base = i end
        if k == game.WORKER then
          last = i
          workers = workers + 1
          local v = Verb(i)
          if v == "dobicha" then miners = miners + 1 end
          if v == "" then idle[#idle + 1] = i end
        end
      end
    end
  end
  local money = game.money()

  if base < 0 and last >= 0 then
    order(last, 1, build_near(game.BASE, last))
    order(last, 2, "")
  end
  if money < 100 and workers <= 3 and miners == 0 and #idle > 0 then
    local r = nearest_resource(idle[1])
    if r >= 0 then
      order(idle[1], 1, "idtiza " .. r)
      order(last, 2, "")
    end
  end
  if workers < 10 and base >= 0 then
    order(base, 1, build_near(game.WORKER, base))
  end
  if money > 100 and enemy >= 0 and #idle > 0 then
    for _, i in ipairs(idle) do order(i, 1, "idtiza " .. enemy) end
    order(last, 2, "")
  end
end
