local t = {}
function think()
  for k, v in pairs(game.object(0) or {}) do t[#t + 1] = tostring(k) .. tostring(v) end
  game.order(0, 1, "idti", game.random(50), -3)
  local co = coroutine.wrap(function() coroutine.yield(string.rep("x", 99)) end)
  print(co(), math.random(3), string.format("%q %s", "a", {}))
end
