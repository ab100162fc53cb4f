import sys
n = int(sys.argv[1])
s = "the quick brown fox"
i = 0
while True:
    w = s[4:9]
    w = w + "!"
    t = s.replace("quick", "slow")
    i = i + 1
    if not i < n:
        break
