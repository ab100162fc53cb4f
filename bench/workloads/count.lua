local n = tonumber(arg[1])
local i = 0
while true do
  i = i + 1
  if not (i < n) then break end
end
