#!/usr/bin/env bash
# Building stand-alone executables with -COMPILE and running them.
set -u
talvex="$(realpath "$1")"
dir=$(mktemp -d)
cd "$dir" || exit 1
mkdir bin work
cp "$talvex" bin/talvex
rt="$dir/bin/talvex"
cd work
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}
# The byte length of a section's payload in a file.
payload_size() {
  local s e
  s=$(LC_ALL=C grep -a -b -o -F "SO!#$2" "$1" | head -1 | cut -d: -f1)
  e=$(LC_ALL=C grep -a -b -o -F "EO!#$2" "$1" | head -1 | cut -d: -f1)
  echo $((e - s - 4 - ${#2}))
}

check "the runtime's image holds no section marker" \
  '[ "$(LC_ALL=C grep -a -c -F -e "SO!#" -e "EO!#" "$talvex")" = 0 ]'

printf 'SOWriteLn>hi %%name%%\nExit>%%code%%\n' >hello.scp
"$rt" -COMPILE hello.scp "$dir/work/hello" -QUIET "-OPTS:-NOSYSTRAY /name=Ann /code=5" >out 2>err
rc=$?
check "a quiet build reports nothing" '[ $rc -eq 0 ] && [ ! -s out ] && [ ! -s err ]'
./hello >out 2>err
rc=$?
check "the built executable runs with its stored options" \
  '[ $rc -eq 5 ] && [ "$(cat out)" = "hi Ann" ] && [ ! -s err ]'
mkdir -p elsewhere && cp hello elsewhere/renamed
elsewhere/renamed >out 2>&1
rc=$?
check "a copied and renamed executable still runs" '[ $rc -eq 5 ] && [ "$(cat out)" = "hi Ann" ]'
check "a UTF-8 source is stored as UTF-16LE with a byte-order mark" \
  '[ "$(payload_size hello SCRIPT1)" = $((9 + 2 + 2 * $(stat -c %s hello.scp))) ]'

printf '\xff\xfeS\0O\0W\0r\0i\0t\0e\0L\0n\0>\0w\0i\0d\0e\0 \0%%\0n\0a\0m\0e\0%%\0\r\0\n\0' >wide.scp
"$rt" -COMPILE wide.scp "$dir/work/wide" -QUIET
./wide /name=Bob >out 2>&1
rc=$?
check "a UTF-16LE source is stored byte for byte and reads /name= arguments" \
  '[ $rc -eq 0 ] && [ "$(cat out)" = "wide Bob" ] && [ "$(payload_size wide SCRIPT1)" = $((9 + $(stat -c %s wide.scp))) ]'
check "a build without -OPTS: writes no commandline section" \
  '! LC_ALL=C grep -q -a -F "SO!#COMMANDLINE" wide && LC_ALL=C grep -q -a -E "SO!#CDT[0-9]{8}EO!#CDT" wide'

"$rt" -COMPILE missing.scp out.bin >out 2>err
rc=$?
check "a missing source is reported and fails the build" \
  '[ $rc -eq 1 ] && grep -q "Error: missing.scp does not exist." err && [ ! -e out.bin ]'
"$rt" -COMPILE missing.scp out.bin -QUIET >out 2>err
check "-QUIET silences the missing-source message" '[ ! -s err ]'

printf '// VBSTART in a comment\n// GetTextInRect>0,0,1,1,t\nSOWriteLn>runs\n' >needs.scp
"$rt" -COMPILE needs.scp "$dir/work/needs" >out 2>err
check "missing runtime files are reported and the build goes on" \
  'grep -q "Cannot compile - cannot locate VBScript Runtimes" err &&
   grep -q "Cannot compile - cannot locate GetWord Runtimes" err &&
   grep -q "Created: $dir/work/needs" err && [ "$(./needs)" = runs ]'

cp hello.scp gone.scp
"$rt" -COMPILE gone.scp relative.bin -QUIET -DEL
check "-DEL deletes the source; a relative output lands beside the runtime" \
  '[ ! -e gone.scp ] && [ -x "$dir/bin/relative.bin" ] && [ ! -e relative.bin ]'

printf 'SOWriteLn>logged\n' >log.scp
"$rt" -COMPILE log.scp "$dir/work/logged" -QUIET "-OPTS:-NOSYSTRAY /LOGFILE=$dir/work/run.log"
./logged >/dev/null 2>&1
check "stored options become variables before the log set-up" \
  'grep -q "START: SOWriteLn>logged" run.log'

printf '\0\0\1\0\1\0\x20\x20\0\0\1\0\x20\0\x10\0\0\0\x16\0\0\0' >big.ico
printf '0123456789abcdef' >>big.ico
"$rt" -COMPILE hello.scp "$dir/work/iconic" -QUIET "-OPTS:/name=Ico /code=0 -ICON:$dir/work/big.ico" >out 2>err
./iconic >out2 2>&1
check "an icon file without a 16x16 image is reported even with -QUIET" \
  'grep -q "No 16x16 icon found in $dir/work/big.ico" err && [ "$(cat out2)" = "hi Ico" ]'

./hello -COMPILE wide.scp "$dir/work/second" -QUIET >out 2>&1
rc=$?
./second >out2 2>&1
"$rt" -COMPILE hello.scp "$dir/work/late" "-OPTS:/name=Late -QUIET" >out3 2>err3
check "-QUIET after -OPTS: silences the build and ends up in the options" \
  '[ ! -s err3 ] && [ "$(./late)" = "hi Late -QUIET" ]'
check "a built executable runs its script, then builds with its own script first" \
  '[ "$(cat out)" = "hi Ann" ] && [ "$(cat out2)" = "hi Ann" ]'

cp "$talvex" badopts && printf 'SO!#COMMANDLINEabcEO!#COMMANDLINE' >>badopts
./badopts >out 2>err
rc=$?
check "stored options that are not Base64 stop the start" \
  '[ $rc -eq 1 ] && grep -q "Base64: Incorrect string format" err && [ ! -s out ]'

cp "$talvex" short && printf 'SO!#SCRIPT1abcEO!#SCRIPT1' >>short
./short >out 2>err
rc=$?
check "a script section shorter than its header runs nothing" '[ $rc -eq 0 ] && [ ! -s out ] && [ ! -s err ]'

cp "$talvex" garbage && printf 'SO!#SCRIPT1RADAZAR96\x01\x02\x03\x04\x05EO!#SCRIPT1' >>garbage
./garbage >out 2>err
rc=$?
check "an undecipherable script runs as unknown lines" '[ $rc -eq 0 ] && [ ! -s out ]'

cd / && rm -rf "$dir"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
