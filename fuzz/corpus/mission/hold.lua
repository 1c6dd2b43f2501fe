-- Hold the town hall for five minutes against the waves of brutes this mission sends.
local LENGTH = 30000 -- frames: five minutes at 100 frames a second
local EVERY = 4000 -- frames between two waves

local hall = nil
for i = 0, game.count() - 1 do
  if game.get(i, "Side") == 0 and game.get(i, "Kind") == game.BASE then hall = i end
end

local gates = { { 480, 480 }, { -480, 480 }, { 0, 480 } }
local wave = 0

mission.area("walls", -160, -160, 160, 160)
for frame = EVERY, LENGTH - 1, EVERY do mission.at(frame) end
mission.at(LENGTH)
mission.message("Hold the town hall for five minutes")

local function send_wave()
  wave = wave + 1
  local g = gates[(wave - 1) % #gates + 1]
  for k = 1, wave do
    mission.spawn("orki", "Громила", 1, g[1] - 30 * k, g[2], 270, "idtiza " .. hall)
  end
  mission.message("Wave " .. wave .. " is coming")
end

function update(events)
  for _, e in ipairs(events) do
    if e.kind == "frame" and e.frame >= LENGTH then
      mission.message("The town held: victory")
      mission.win(0)
    elseif e.kind == "frame" then
      send_wave()
    elseif e.kind == "died" and e.object == hall then
      mission.message("The town hall has fallen")
      mission.win(1)
    elseif e.kind == "entered" and game.get(e.object, "Side") == 1 then
      mission.message("The enemy is at the walls!")
    elseif e.kind == "built" and game.get(e.object, "Side") == 0 then
      -- The town pays a bounty for every unit it finishes.
      mission.money(0, game.money(0) + 20)
    end
  end
end
