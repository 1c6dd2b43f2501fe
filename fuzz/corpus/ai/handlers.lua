function think()
  local ok, m = xpcall(error, function() error("again") end)
  error(setmetatable({}, {__tostring = function() error("x") end}))
end
