import sys
n = int(sys.argv[1])
i = 0
while True:
    i = i + 1
    if not i < n:
        break
