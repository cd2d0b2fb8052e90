#!/usr/bin/env bash
# Checks the Windows 95 family's package: Orvel-<version>-win9x-floppy.img is a 1.44 MB
# FAT12 floppy image (2880 sectors, 2 heads, 18 sectors a track) whose root, as mdir lists it, holds
# Orvel.scr, the very file the x86 build made, under the DOS name ORVEL.SCR, and
# INSTALL.TXT, which says how to install a screen saver there, with Windows' line ends.
#
#   check_floppy.sh PACKAGE_DIR VERSION X86_SCR
set -u
[ $# -eq 3 ] || {
  echo "usage: check_floppy.sh PACKAGE_DIR VERSION X86_SCR" >&2
  exit 2
}
PACKAGES=$1 VERSION=$2 X86=$3
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

image="$PACKAGES/Orvel-$VERSION-win9x-floppy.img"
[ -f "$image" ] || fail "$image is missing: make the packages first (cmake --build --preset package; ./test.sh does)"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/orvel-floppy.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export MTOOLSRC=/dev/null  # no drive settings of this machine's own

[ "$(stat -c %s "$image")" -eq 1474560 ] || fail "$image is $(stat -c %s "$image") bytes, not 1474560 (1.44 MB)"
boot=$(minfo -i "$image" ::) || fail "minfo cannot read $image"
for fact in "small size: 2880 sectors" "sectors per track: 18" "heads: 2" "media descriptor byte: 0xf0" \
  'disk type="FAT12   "'; do
  grep -qxF "$fact" <<<"$boot" || fail "the boot sector does not say $fact, as a 1.44 MB disk's does:"$'\n'"$boot"
done

listing=$(mdir -i "$image" ::) || fail "mdir cannot read $image"
echo "$listing"
names=$(mdir -b -i "$image" :: | sort)
[ "$names" = $'::/INSTALL.TXT\n::/Orvel.scr' ] || fail "the disk holds:"$'\n'"$names"$'\n'"instead of INSTALL.TXT and Orvel.scr"
grep -qE '^ORVEL +SCR ' <<<"$listing" || fail "Orvel.scr does not have the DOS name ORVEL.SCR"

mcopy -n -i "$image" ::/Orvel.scr ::/INSTALL.TXT "$WORK/" || fail "mcopy cannot read the files back"
cmp -s "$WORK/Orvel.scr" "$X86" || fail "Orvel.scr on the disk is not $X86"
text="$WORK/INSTALL.TXT"
[ "$(grep -c $'\r$' "$text")" -eq "$(wc -l <"$text")" ] || fail "INSTALL.TXT does not have Windows line ends throughout"
for words in "Windows 95, 98 and Me" 'C:\WINDOWS' "Display Properties" "Screen Saver" "Orvel.scr"; do
  grep -qF "$words" "$text" || fail "INSTALL.TXT does not mention $words"
done
echo "$image holds Orvel.scr and INSTALL.TXT"
