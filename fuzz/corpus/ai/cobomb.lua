local function bomb() coroutine.wrap(bomb)() end
function think() bomb() end
