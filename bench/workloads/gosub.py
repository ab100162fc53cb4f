import sys
n = int(sys.argv[1])
def work(a):
    y = a
i = 0
while True:
    work(i)
    i = i + 1
    if not i < n:
        break
