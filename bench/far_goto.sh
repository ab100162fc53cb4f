#!/usr/bin/env bash
# Writes far_goto.scp: a loop whose Goto jumps over 10000 filler lines.
out="$1"
{
  echo 'Let>i=0'
  echo 'Goto>loop'
  for _ in $(seq 10000); do echo '// filler line'; echo 'Let>unused=1'; done
  echo 'Label>loop'
  echo 'Let>i=i+1'
  echo 'If>%i%<%N%,loop'
} >"$out"
