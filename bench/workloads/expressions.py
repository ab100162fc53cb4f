import sys
n = int(sys.argv[1])
i = 0
while True:
    x = i * 2 + 1
    i = i + 1
    if not i < n:
        break
