#!/usr/bin/env bash
# What Debian asks of the .deb: lintian finds no error and no warning in it (maintainer
# with an address, copyright file, changelog, compressed manual page and the rest), and
# its menu entry passes desktop-file-validate, opens `orvel --window` from the package
# and names the icon the package puts into the hicolor theme.
#
#   check_deb_debian.sh PACKAGE_DIR VERSION
set -u
[ $# -eq 2 ] || {
  echo "usage: check_deb_debian.sh PACKAGE_DIR VERSION" >&2
  exit 2
}
PACKAGES=$1 VERSION=$2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

deb="$PACKAGES/orvel_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "$deb is missing: make the packages first (cmake --build --preset package; ./test.sh does)"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-lintian.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Every tag down to the informational ones is listed (lintian -i explains them);
# errors and warnings fail.
lintian --display-info --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reports errors or warnings on $deb"

dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb cannot unpack $deb"
entry="$WORK/root/usr/share/applications/orvel.desktop"
[ -f "$entry" ] || fail "the package has no menu entry /usr/share/applications/orvel.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate finds faults in orvel.desktop"
field() { sed -n "s/^$1=//p" "$entry"; }
[ "$(field Name)" = Orvel ] || fail "the menu entry is named '$(field Name)', not Orvel"
[ "$(field Exec)" = "orvel --window" ] || fail "the menu entry runs '$(field Exec)', not 'orvel --window'"
[ -L "$WORK/root/usr/bin/orvel" ] || fail "the package has no /usr/bin/orvel for the menu entry to run"
icon="$WORK/root/usr/share/icons/hicolor/48x48/apps/$(field Icon).png"
[ -f "$icon" ] || fail "the menu entry's icon '$(field Icon)' is not in the package's hicolor theme (48x48/apps)"
[ "$(pngtopnm "$icon" | head -c 64 | sed -n 2p)" = "48 48" ] || fail "$icon is not a 48 x 48 PNG"
echo "lintian is clean on $deb, and its menu entry opens orvel --window with its icon"
