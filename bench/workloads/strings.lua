local n = tonumber(arg[1])
local s = "the quick brown fox"
local i = 0
while true do
  local w = string.sub(s, 5, 9)
  w = w .. "!"
  local t = string.gsub(s, "quick", "slow", nil)
  i = i + 1
  if not (i < n) then break end
end
