local n = tonumber(arg[1])
local i = 0
while true do
  local x = i * 2 + 1
  i = i + 1
  if not (i < n) then break end
end
