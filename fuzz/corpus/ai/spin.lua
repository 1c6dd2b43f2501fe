function think() while true do end end
