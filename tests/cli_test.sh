#!/usr/bin/env bash
# Command-line behaviour of the runtime that script tests cannot show:
# starting without a script, a script that cannot be read, and Ctrl+C.
set -u
set -m  # background jobs in their own process group, with default signals
talvex="$(realpath "$1")"
dir=$(mktemp -d)
cd "$dir" || exit 1
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}

# Waits until FILE contains TEXT (at most 60 seconds).
wait_for() {
  for _ in $(seq 600); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

out=$("$talvex" 2>&1)
rc=$?
check "a runtime without script and switch ends at once, silently" '[ $rc -eq 0 ] && [ -z "$out" ]'

"$talvex" -RUN missing.scp >out1 2>err1
rc=$?
check "a script file that cannot be read ends with exit code 1" \
  '[ $rc -eq 1 ] && grep -q "Cannot open file" err1 && [ ! -s out1 ]'

printf 'SOWriteLn>started\nWait>600\nSOWriteLn>after\n' >long.scp

"$talvex" -RUN long.scp /LOGFILE=int.log >out2 2>&1 &
pid=$!
wait_for out2 started
kill -INT "$pid"
wait "$pid"
rc=$?
check "Ctrl+C ends the run through its end steps" \
  '[ $rc -eq 0 ] && ! grep -q after out2 && grep -q "Finished Macro : " int.log'

"$talvex" -RUN long.scp /NOSTOPKEY /LOGFILE=nostop.log >out3 2>&1 &
pid=$!
wait_for out3 started
kill -INT "$pid"
wait "$pid"
rc=$?
check "with /NOSTOPKEY Ctrl+C is not a stop request" \
  '[ $rc -eq 130 ] && ! grep -q "Finished Macro" nostop.log'

cd / && rm -rf "$dir"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
