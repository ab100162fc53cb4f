#!/usr/bin/env bash
# Imported functions: an INI file in imports/ beside the runtime turns a
# library function into a command.
set -u
talvex="$(realpath "$1")"
testlib="$(realpath "$2")"
dir=$(mktemp -d)
cd "$dir" || exit 1
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}
mkdir -p bin/imports
cp "$talvex" bin/talvex
cp "$testlib" bin/imports/tl.so
printf '[Xsum]\r\nFunctionName=tl_add\r\nParms=2\r\n[Xupper]\r\nFunctionName=tl_upper\r\nParms=1\r\nParm1=BUFFER\r\nParm1_EOL=RESULT\r\n[Xnothing]\r\nParms=1\r\n' >bin/imports/tl.ini
cat >imports.scp <<'SCRIPT'
Xsum>4,5,sum
SOWriteLn>sum %sum%
Xsum>1,2,3,sum
SOWriteLn>still %sum%
Let>word=hello
Xupper>word,len
SOWriteLn>%word% %len%
Xnothing>1,x
SOWriteLn>[%x%]
SCRIPT
out=$(bin/talvex -RUN imports.scp 2>&1 | tr '\n' '|')
check "imported functions are called with their arguments" \
  '[ "$out" = "sum 9|still 9|HELLO 5|[%x%]|" ]'
printf 'Xsum>1,1,inner\nSOWriteLn>inner %%inner%%\n' >inner.scp
printf 'Macro>%s/inner.scp\nXsum>2,2,outer\nSOWriteLn>outer %%outer%%\n' "$dir" >outer.scp
out=$(bin/talvex -RUN outer.scp 2>&1 | tr '\n' '|')
check "a nested run leaves its caller's imported functions loaded" '[ "$out" = "inner 2|outer 4|" ]'

cd / && rm -rf "$dir"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
