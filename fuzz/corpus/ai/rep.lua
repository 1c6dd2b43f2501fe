function think() local s = string.rep("x", 2^31) end
