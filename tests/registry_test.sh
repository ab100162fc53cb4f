#!/usr/bin/env bash
# The registry stand-in across processes: two runtimes writing at the same
# time keep each other's values; stored binary values read as hexadecimal.
set -u
talvex="$(realpath "$1")"
dir=$(mktemp -d)
cd "$dir" || exit 1
export XDG_CONFIG_HOME="$dir/config"
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}

cat >writer.scp <<'SCRIPT'
Let>i=0
Repeat>i
  Let>i=i+1
  RegistryWriteKey>HKEY_CURRENT_USER,Software\Race,%who%_%i%,%i%
Until>i,40
SCRIPT
"$talvex" -RUN writer.scp /who=a &
a=$!
"$talvex" -RUN writer.scp /who=b &
b=$!
wait $a
wait $b
cat >reader.scp <<'SCRIPT'
Let>n=0
Let>i=0
Repeat>i
  Let>i=i+1
  RegistryReadKey>HKEY_CURRENT_USER,Software\Race,a_%i%,va
  RegistryReadKey>HKEY_CURRENT_USER,Software\Race,b_%i%,vb
  If>%va%=%i%
    Let>n=n+1
  Endif
  If>%vb%=%i%
    Let>n=n+1
  Endif
Until>i,40
SOWriteLn>%n%
SCRIPT
out=$("$talvex" -RUN reader.scp)
check "two writers at the same time keep all 80 values" '[ "$out" = 80 ]'

printf 'TALVEX-REGISTRY 1\nK HKEY_CURRENT_USER\\Bin\nV HKEY_CURRENT_USER\\Bin\tdata\t3\t01ABFF\nV HKEY_CURRENT_USER\\Bin\tlong\t3\t%s\n' \
  "$(printf 'AB%.0s' $(seq 300))" >"$XDG_CONFIG_HOME/talvex/user.reg"
printf 'RegistryReadKey>HKEY_CURRENT_USER,Bin,data,v\nSOWriteLn>%%v%%\nRegistryReadKey>HKEY_CURRENT_USER,Bin,long,w\nLength>%%w%%,n\nSOWriteLn>%%n%%\n' >bin.scp
out=$("$talvex" -RUN bin.scp | tr '\n' ' ')
check "binary values read as hexadecimal, at most 255 bytes" '[ "$out" = "01ABFF 510 " ]'

cd / && rm -rf "$dir"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
