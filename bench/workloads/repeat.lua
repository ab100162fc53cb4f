local n = tonumber(arg[1])
local i = 0
repeat
  i = i + 1
until i == n
