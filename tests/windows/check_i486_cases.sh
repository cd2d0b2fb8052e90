#!/usr/bin/env bash
# Plays the table of byte sequences (i486_code_cases.txt) through check_i486_code.sh:
# each sequence the i486 runs must pass, each other must fail naming its kind.
#
#   check_i486_cases.sh OBJDUMP CHECK TABLE
set -u
[ $# -eq 3 ] || {
  echo "usage: check_i486_cases.sh OBJDUMP CHECK TABLE" >&2
  exit 2
}
OBJDUMP=$1 CHECK=$2 TABLE=$3
code=$(mktemp "${TMPDIR:-/tmp}/i486-case.XXXXXX") || exit 1
trap 'rm -f "$code"' EXIT

failures=0 cases=0
while IFS='|' read -r expect bytes what; do
  expect=$(echo $expect) bytes=$(echo $bytes) what=$(echo $what)
  case $expect in '' | '#'*) continue ;; esac
  cases=$((cases + 1))
  printf "$(sed 's/../\\x&/g' <<<"$bytes")" >"$code"
  output=$(bash "$CHECK" "$OBJDUMP" --raw "$code" 2>&1)
  status=$?
  if [ "$expect" = i486 ]; then
    [ $status -eq 0 ] && continue
  else
    [ $status -eq 1 ] && grep -qF -- "$expect: " <<<"$output" && continue
  fi
  echo "FAIL: $what ($bytes): expected ${expect}, the check said (status $status):" >&2
  sed 's/^/    /' <<<"$output" >&2
  failures=$((failures + 1))
done <"$TABLE"

[ "$cases" -gt 0 ] || { echo "FAIL: no cases in $TABLE" >&2; exit 1; }
[ "$failures" -eq 0 ] || { echo "check_i486_cases: $failures of $cases cases wrong" >&2; exit 1; }
echo "check_i486_cases: all $cases cases right"
