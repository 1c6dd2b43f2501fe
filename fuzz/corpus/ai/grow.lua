local t = {}
function think() local s = "x" while true do t[#t + 1] = s s = s .. s end end
