#!/usr/bin/env bash
# Checks the Windows package: Orvel-<version>-windows.zip holds, in one top folder,
# x64/Orvel.scr and x86/Orvel.scr, each the very file its build made, and Install.txt,
# which names both, with Windows' line ends.
#
#   check_zip.sh PACKAGE_DIR VERSION X64_SCR X86_SCR
set -u
[ $# -eq 4 ] || {
  echo "usage: check_zip.sh PACKAGE_DIR VERSION X64_SCR X86_SCR" >&2
  exit 2
}
PACKAGES=$1 VERSION=$2 X64=$3 X86=$4
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

name="Orvel-$VERSION-windows"
zip="$PACKAGES/$name.zip"
[ -f "$zip" ] || fail "$zip is missing: make the packages first (cmake --build --preset package; ./test.sh does)"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-zip.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort) || fail "cannot list $zip"
expected=$(printf '%s\n' "$name/Install.txt" "$name/x64/Orvel.scr" "$name/x86/Orvel.scr")
[ "$listing" = "$expected" ] || fail "$zip holds:"$'\n'"$listing"$'\n'"instead of:"$'\n'"$expected"
(cd "$WORK" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
cmp -s "$WORK/$name/x64/Orvel.scr" "$X64" || fail "x64/Orvel.scr is not $X64"
cmp -s "$WORK/$name/x86/Orvel.scr" "$X86" || fail "x86/Orvel.scr is not $X86"
text="$WORK/$name/Install.txt"
grep -q 'x64\\Orvel.scr' "$text" && grep -q 'x86\\Orvel.scr' "$text" || fail "Install.txt does not name both programs"
grep -q 'Install' "$text" || fail "Install.txt does not say how to install"
[ "$(grep -c $'\r$' "$text")" -eq "$(wc -l <"$text")" ] || fail "Install.txt does not have Windows line ends"
echo "$zip holds both programs and Install.txt"
