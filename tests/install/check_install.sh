#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there: the program
# where xscreensaver looks for display modes, with a relative symbolic link to it in bin/,
# its settings description (well-formed XML that runs it with --root and asks for
# OpenGL), its manual page (which groff reads without a warning) and orvel-wayland where
# it is built, and nothing else. The installed program must run.
#
#   check_install.sh BUILD_DIR BUILT_PROGRAM
set -u
[ $# -eq 2 ] || {
  echo "usage: check_install.sh BUILD_DIR BUILT_PROGRAM" >&2
  exit 2
}
BUILD=$1
BUILT=$2
PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/orvel-install.XXXXXX")
trap 'rm -rf "$PREFIX"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

log=$(cmake --install "$BUILD" --prefix "$PREFIX" 2>&1) || fail "cmake --install failed: $log"

program="$PREFIX/libexec/xscreensaver/orvel"
xml="$PREFIX/share/xscreensaver/config/orvel.xml"
manual="$PREFIX/share/man/man6/orvel.6"

installed=$(cd "$PREFIX" && find . -type f | sort)
# orvel-wayland lies beside orvel, which hands over to it under a Wayland compositor, in
# a build that makes it.
wayland=
[ -x "$(dirname "$BUILT")/orvel-wayland" ] && wayland=./libexec/xscreensaver/orvel-wayland
expected=$(printf '%s\n' ./libexec/xscreensaver/orvel $wayland ./share/man/man6/orvel.6 ./share/xscreensaver/config/orvel.xml \
  ./share/applications/orvel.desktop ./share/icons/hicolor/48x48/apps/orvel.png | sed '/^$/d' | sort)
[ "$installed" = "$expected" ] || fail "installed: $installed"
links=$(cd "$PREFIX" && find . -type l | sort)
[ "$links" = ./bin/orvel ] || fail "installed links: $links"
[ "$(readlink "$PREFIX/bin/orvel")" = ../libexec/xscreensaver/orvel ] ||
  fail "bin/orvel leads to $(readlink "$PREFIX/bin/orvel"), not ../libexec/xscreensaver/orvel"

[ -x "$program" ] || fail "the program is not executable"
cmp -s "$program" "$BUILT" || fail "the installed program is not the one built"
out=$(env -u DISPLAY "$program" --window-id 0x12x 2>&1)
status=$?
[ "$status" -eq 255 ] && grep -q "is not a window id" <<<"$out" || fail "the installed program does not run ($status): $out"

xmllint --noout "$xml" || fail "orvel.xml is not well-formed"
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = orvel ] || fail "orvel.xml names another program"
[ "$(xmllint --xpath 'string(/screensaver/@gl)' "$xml")" = yes ] || fail "orvel.xml does not ask for OpenGL"
[ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = --root ] || fail "orvel.xml does not pass --root"
[ -n "$(xmllint --xpath 'normalize-space(/screensaver/_description)' "$xml")" ] || fail "orvel.xml has no description"

warnings=$(groff -man -ww -z -t "$manual" 2>&1)
[ -z "$warnings" ] || fail "groff warns about orvel.6: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "EXIT STATUS"; do
  grep -q "^\.SH \"\?$section\"\?\$" "$manual" || fail "orvel.6 has no $section section"
done
for word in --root --window-id --window /s /p /c Orvelconfig.ini XSCREENSAVER_WINDOW XDG_CONFIG_HOME 255; do
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$word")" "$manual" || fail "orvel.6 does not mention $word"
done
echo "passed: install layout"
