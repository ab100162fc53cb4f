import sys
n = int(sys.argv[1])
i = 0
while True:
    i += 1
    if i == n:
        break
