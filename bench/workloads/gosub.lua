local n = tonumber(arg[1])
local function work(a)
  local y = a
end
local i = 0
while true do
  work(i)
  i = i + 1
  if not (i < n) then break end
end
