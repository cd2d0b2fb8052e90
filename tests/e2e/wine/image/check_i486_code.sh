#!/usr/bin/env bash
# Checks that a 32-bit program runs on an i486: its disassembly holds no instruction that
# came later. It fails on
#   - cmov, fcmov, fcomi, fcomip, fucomi, fucomip (Pentium Pro);
#   - nop with an operand (0F 1F, Pentium Pro);
#   - cpuid without the test of the EFLAGS ID bit (0x200000) before it in the same
#     function: an i486 without cpuid faults on it;
#   - MMX, SSE and later instructions (any MMX or XMM register, and those without one:
#     emms, fxsave, ldmxcsr, the fences, prefetches, popcnt, fisttp...), rdtsc, rdpmc,
#     cmpxchg8b, sysenter and syscall.
# Each is named with its address, the nearest symbol before it and the object it came
# from, read from the linker's map. Only the input sections that the map places in .text
# are read: the constructor lists the linker puts there are data.
#
#   check_i486_code.sh OBJDUMP PROGRAM MAP   a PE program and the map of its link
set -u
[ $# -eq 3 ] || {
  echo "usage: check_i486_code.sh OBJDUMP PROGRAM MAP" >&2
  exit 2
}
OBJDUMP=$1 FILE=$2 MAP=$3
[ -f "$MAP" ] || {
  echo "FAIL: the map $MAP is missing: build the windows-x86 preset (it writes Orvel.map beside Orvel.scr)" >&2
  exit 1
}
[ -f "$FILE" ] || {
  echo "FAIL: $FILE is missing: build the windows-x86 preset first (cmake --preset windows-x86 && cmake --build --preset windows-x86)" >&2
  exit 1
}
listing=$("$OBJDUMP" -d "$FILE") || {
  echo "FAIL: $OBJDUMP could not disassemble $FILE" >&2
  exit 1
}

awk -v file="$FILE" '
function hex(text,   i, n) {
  text = tolower(text)
  gsub(/[ :]/, "", text)
  sub(/^0x/, "", text)
  n = 0
  for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
  return n
}
# The map: input sections of .text ("name address size object", the name alone on a line
# of its own when it is long) and the symbols in them ("address name").
FILENAME == ARGV[1] {
  if ($0 ~ /^ \.text/) {
    pending = (NF == 1)
    if (!pending) addRange($2, $3, $4)
    next
  }
  if (pending && $1 ~ /^0x/ && NF == 3) { addRange($1, $2, $3); pending = 0; next }
  pending = 0
  if ($0 ~ /^                0x[0-9a-f]+                [^ ]/ && $0 !~ / = / && hex($1) != 0) {
    symbols++
    symbolAt[symbols] = hex($1)
    symbolName[symbols] = substr($0, 43)
  }
  next
}
function addRange(start, size, object) {
  if (hex(start) == 0 || hex(size) == 0) return
  ranges++
  rangeStart[ranges] = hex(start)
  rangeEnd[ranges] = hex(start) + hex(size)
  rangeObject[ranges] = object
}
# Which input section holds the address: the map lists them in address order, and so
# does the listing, so one cursor walks both.
function rangeOf(address) {
  while (cursor <= ranges && rangeEnd[cursor] <= address) cursor++
  return (cursor <= ranges && rangeStart[cursor] <= address) ? cursor : 0
}
function symbolOf(address,   lo, hi, mid, best) {
  lo = 1; hi = symbols; best = 0
  while (lo <= hi) {
    mid = int((lo + hi) / 2)
    if (symbolAt[mid] <= address) { best = mid; lo = mid + 1 } else hi = mid - 1
  }
  return best
}
function where(address, range,   s) {
  s = symbolOf(address)
  if (s == 0 || symbolAt[s] < rangeStart[range]) return " in " rangeObject[range]
  return sprintf(" in %s+0x%x, %s", symbolName[s], address - symbolAt[s], rangeObject[range])
}
function problem(address, kind, text, range) {
  printf "FAIL: 0x%08x %s: %s%s\n", address, kind, text, where(address, range) > "/dev/stderr"
  found[kind]++
  problems++
}
BEGIN { cursor = 1 }
# The listing: "address:<tab>bytes<tab>instruction"; a long instruction carries its
# last bytes on a line of their own, without the instruction.
{
  n = split($0, field, "\t")
  if (n < 3 || field[1] !~ /^ *[0-9a-f]+:$/) next
  address = hex(field[1])
  range = rangeOf(address)
  if (range == 0) next
  bytes = field[2]
  text = field[3]
  sub(/ +$/, "", text)
  mnemonic = text
  sub(/ .*/, "", mnemonic)
  scanned++
  # The function changes at a symbol; the ID test is looked for within one.
  owner = symbolOf(address)
  if (owner != lastOwner) { idTested = 0; lastOwner = owner }
  if (text ~ /\$0x200000/) idTested = 1

  if (mnemonic ~ /^(cmov|fcmov)/) problem(address, mnemonic ~ /^f/ ? "fcmov" : "cmov", text, range)
  else if (mnemonic ~ /^fu?comip?$/ && mnemonic ~ /comi/) problem(address, "fcomi", text, range)
  else if (bytes ~ /(^| )0f 1f /) problem(address, "multi-byte nop", text, range)
  else if (mnemonic == "cpuid" && !idTested) problem(address, "cpuid without the ID-flag test", text, range)
  else if (text ~ /%(mm|xmm|ymm|zmm)[0-9]/) problem(address, "MMX, SSE or later", text, range)
  else if (mnemonic ~ /^(emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|[lsm]fence|prefetch|movnti|clflush|fisttp|popcnt|lzcnt|tzcnt|movbe|rdrand|rdseed|xgetbv|xsave|xrstor|crc32|maskmov)/)
    problem(address, "MMX, SSE or later", text, range)
  else if (mnemonic ~ /^(rdtsc|rdtscp|rdpmc)$/) problem(address, mnemonic, text, range)
  else if (mnemonic ~ /^cmpxchg(8|16)b$/) problem(address, "cmpxchg8b", text, range)
  else if (mnemonic ~ /^(sysenter|sysexit|syscall|sysret)/) problem(address, "sysenter/syscall", text, range)
}
END {
  if (scanned == 0) {
    print "FAIL: no code found in " file " (does the map belong to it?)" > "/dev/stderr"
    exit 1
  }
  if (problems > 0) {
    summary = ""
    for (kind in found) summary = summary sprintf(" %d %s;", found[kind], kind)
    printf "check_i486_code: %d instructions newer than the i486 in %s:%s\n", problems, file, summary > "/dev/stderr"
    exit 1
  }
  printf "check_i486_code: %s: %d instructions, all the i486 has\n", file, scanned
}
' "$MAP" <(echo "$listing")
