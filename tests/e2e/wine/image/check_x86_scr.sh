#!/usr/bin/env bash
# Checks the 32-bit Orvel.scr (the windows-x86 preset) as the Windows 95 family's loader
# would meet it: a 32-bit (PE32) GUI program asking for subsystem and system version
# 4.0, with a manifest for x86, whose every import is a call listed in ALLOWLIST
# (win9x_imports.txt). Prints the imports it found and those the list marks unsure.
#
#   check_x86_scr.sh ORVEL_SCR OBJDUMP WRESTOOL ALLOWLIST
set -u
[ $# -eq 4 ] || {
  echo "usage: check_x86_scr.sh ORVEL_SCR OBJDUMP WRESTOOL ALLOWLIST" >&2
  exit 2
}
SCR=$1 OBJDUMP=$2 WRESTOOL=$3 ALLOWLIST=$4

[ -f "$SCR" ] || {
  echo "FAIL: $SCR is missing: build the windows-x86 preset first (cmake --preset windows-x86 && cmake --build --preset windows-x86; ./test.sh does both)" >&2
  exit 1
}
failures=0
problem() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

headers=$("$OBJDUMP" -p "$SCR") || {
  echo "FAIL: $OBJDUMP -p $SCR failed" >&2
  exit 1
}
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

[ "$(field Magic)" = 010b ] || problem "not a PE32 (32-bit) program: Magic $(field Magic)"
[ "$(field Subsystem)" = 00000002 ] || problem "not a GUI program: Subsystem $(field Subsystem)"
for name in MajorSubsystemVersion MajorOSystemVersion; do
  [ "$(field $name)" = 4 ] || problem "$name is $(field $name), not 4: Windows 95 would refuse to start it"
done
for name in MinorSubsystemVersion MinorOSystemVersion; do
  [ "$(field $name)" = 0 ] || problem "$name is $(field $name), not 0"
done

manifest=$("$WRESTOOL" -x --raw --type=24 --name=1 "$SCR" | tr -d '\0')
grep -q 'processorArchitecture="x86"' <<<"$manifest" ||
  problem "the manifest does not name the x86 processor: $(grep -o 'processorArchitecture="[^"]*"' <<<"$manifest")"

# objdump lists each DLL as "DLL Name: NAME", then one line a call: address, hint, name.
imports=$(awk '
  /^[ \t]*DLL Name:/ { dll = $3; next }
  dll != "" && /^[ \t]*$/ { dll = ""; next }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF == 3 { print toupper(dll) " " $3 }
' <<<"$headers" | sort -u)
[ -n "$imports" ] || problem "no imports found in the output of $OBJDUMP -p"

allowed=$(awk '!/^[ \t]*(#|$)/ { print toupper($1) " " $2 }' "$ALLOWLIST" | sort -u)
unsure=$(awk '!/^[ \t]*(#|$)/ && $3 == "?" { print toupper($1) " " $2 }' "$ALLOWLIST" | sort -u)

count=$(wc -l <<<"$imports")
echo "check_x86_scr: $count imported calls from $(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')"
outside=$(comm -23 <(echo "$imports") <(echo "$allowed"))
if [ -n "$outside" ]; then
  while read -r dll call; do
    problem "imports $call from $dll, which $(basename "$ALLOWLIST") does not list as a call of the Windows 95 family"
  done <<<"$outside"
fi
relied=$(comm -12 <(echo "$imports") <(echo "$unsure"))
[ -z "$relied" ] || echo "check_x86_scr: imported calls the list marks unsure: $(tr ' \n' '! ' <<<"$relied")"

if [ "$failures" -gt 0 ]; then
  echo "check_x86_scr: $failures problems with $SCR" >&2
  exit 1
fi
echo "check_x86_scr: $SCR is a PE32 GUI program for Windows 4.0 importing only listed calls"
