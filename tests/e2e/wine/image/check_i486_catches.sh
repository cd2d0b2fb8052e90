#!/usr/bin/env bash
# check_i486_code.sh on a program compiled here (i486_probe.c), once for the Pentium
# Pro, MinGW's default, and once for the i486: the first must fail, naming the cmov in
# largerInt and the fcomi in smallerDouble, and the second must pass.
#
#   check_i486_catches.sh GCC OBJDUMP CHECK SOURCE WORK_DIRECTORY
set -u
[ $# -eq 5 ] || {
  echo "usage: check_i486_catches.sh GCC OBJDUMP CHECK SOURCE WORK_DIRECTORY" >&2
  exit 2
}
GCC=$1 OBJDUMP=$2 CHECK=$3 SOURCE=$4 WORK=$5
mkdir -p "$WORK" || exit 1

failures=0
# processor | what the check must say ("" for a pass)
while IFS='|' read -r processor expected; do
  processor=$(echo $processor) expected=$(sed "s/^ *//; s/ *$//" <<<"$expected")
  object=$WORK/probe_$processor.o program=$WORK/probe_$processor.exe map=$WORK/probe_$processor.map
  "$GCC" -O2 -march="$processor" -c -o "$object" "$SOURCE" &&
    "$GCC" -nostdlib -Wl,-e,_probeStart -Wl,-Map,"$map" -o "$program" "$object" || {
    echo "FAIL: $GCC could not build the probe for $processor" >&2
    failures=$((failures + 1))
    continue
  }
  output=$(bash "$CHECK" "$OBJDUMP" "$program" "$map" 2>&1)
  status=$?
  echo "$output"
  if [ -z "$expected" ]; then
    [ $status -eq 0 ] || { echo "FAIL: the probe built for $processor did not pass" >&2; failures=$((failures + 1)); }
    continue
  fi
  [ $status -eq 1 ] || { echo "FAIL: the probe built for $processor passed" >&2; failures=$((failures + 1)); }
  IFS=';' read -ra needles <<<"$expected"
  for needle in "${needles[@]}"; do
    grep -qE -- "$needle" <<<"$output" || {
      echo "FAIL: for $processor the check did not say /$needle/" >&2
      failures=$((failures + 1))
    }
  done
done <<'TABLE'
pentiumpro | ^FAIL: 0x[0-9a-f]{8} cmov: cmov.* in largerInt\+0x[0-9a-f]+, .*probe_pentiumpro\.o;^FAIL: 0x[0-9a-f]{8} fcomi: fu?comi.* in smallerDouble\+0x[0-9a-f]+
i486 |
TABLE

[ "$failures" -eq 0 ] || exit 1
echo "check_i486_catches: the Pentium Pro probe fails and the i486 probe passes"
