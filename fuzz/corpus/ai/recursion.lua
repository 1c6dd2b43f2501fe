local function f() return 1 + f() end
function think() f() end
