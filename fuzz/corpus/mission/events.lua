mission.area("camp", -100, -100, 100, 100)
mission.at(2)
local seen = 0
function update(events)
  for _, e in ipairs(events) do
    seen = seen + 1
    if e.kind == "frame" then mission.spawn(0, 0, 1, 10, 10) end
  end
  if seen > 3 then mission.win(0) end
  mission.message("seen " .. seen)
end
