#!/usr/bin/env bash
# A 32-bit Debian root holding 32-bit Wine, in which the x86 build's Wine cases run.
# 32-bit Wine never goes on the machine itself: there it would make `wine` choose its
# 32-bit loader and break the 64-bit cases. The root is made once and kept outside any
# checkout (ORVEL_X86_CACHE, by default /var/cache/orvel), so that every clone on the
# machine shares it. Where the kernel cannot run 32-bit programs (tools/can-run-32bit.sh),
# the static qemu-i386 of bookworm-backports runs them, registered through binfmt_misc
# with the fix-binary flag, so that it is found from inside the root too. (Debian 12's own
# qemu 7.2 takes minutes for each Wine process: it treats MAP_FIXED_NOREPLACE as a hint.)
#
#   tools/i386-root.sh setup    makes what is missing: the emulator and its registration
#                               where they are needed, and the root
#   tools/i386-root.sh status   ends with 0 when the root can run programs here
#   tools/i386-root.sh emulated ends with 0 when 32-bit programs run under qemu-i386 here
#   tools/i386-root.sh run DIR... -- COMMAND...
#                               COMMAND inside the root, in a mount namespace of its own
#                               that has /proc, /sys, /dev, /tmp and each DIR at its own
#                               path; nothing is mounted outside it
#
# All need root. setup and status end with 1 after one line on standard output that
# says why they cannot; setup reports its progress on standard error.
# ORVEL_X86_EMULATE=1 uses the emulator even where the kernel runs 32-bit programs, to
# try or measure the emulated path; without it, setup removes a registration it made.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

cache=${ORVEL_X86_CACHE:-/var/cache/orvel}
root=$cache/i386-root
qemu=$cache/qemu/qemu-i386
entry=/proc/sys/fs/binfmt_misc/orvel-i386
mirror=${ORVEL_DEBIAN_MIRROR:-http://deb.debian.org/debian}
packages=(wine wine32 libgl1 libglx-mesa0 libgl1-mesa-dri
  libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)
# What the root was made from, kept in it: a root made otherwise is made anew.
recipe="bookworm i386 minbase: ${packages[*]}"
# The magic and mask of Debian's own qemu-i386 registration: a 32-bit x86 ELF executable
# or shared object.
magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

cannot() { echo "$*"; exit 1; }
say() { echo "i386-root: $*" >&2; }

needs_emulator() {
  [ "${ORVEL_X86_EMULATE:-0}" = 1 ] || ! "$here/can-run-32bit.sh" >/dev/null
}

registered() {
  [ -f "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $qemu" "$entry"
}

root_made() {
  [ "$(cat "$root/.orvel-root" 2>/dev/null)" = "$recipe" ]
}

# Says why the root cannot run programs here, or nothing.
why_not() {
  [ "$(id -u)" -eq 0 ] || { echo "the 32-bit Wine root needs root (chroot, mount namespaces, binfmt_misc)"; return; }
  root_made || { echo "the 32-bit Wine root is not made in $root (tools/i386-root.sh setup makes it; test.sh does)"; return; }
  if needs_emulator && ! registered; then
    echo "this kernel cannot run 32-bit programs and qemu-i386 is not registered for them (tools/i386-root.sh setup does it)"
  fi
}

# run_in ROOT DIR... -- COMMAND...: run's work (see the top) in ROOT. It ends the shell
# it runs in.
run_in() {
  local into=$1 dirs=() d
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    d=$(realpath "$1") || exit 1
    dirs+=("$d")
    shift
  done
  [ $# -ge 2 ] || { echo "usage: i386-root.sh run DIR... -- COMMAND..." >&2; exit 2; }
  shift
  # shellcheck disable=SC2016
  exec unshare --mount --propagation private -- bash -c '
    set -e
    root=$1 count=$2
    shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount --rbind /tmp "$root/tmp"
    for ((i = 0; i < count; i++)); do
      mkdir -p "$root$1"
      mount --rbind "$1" "$root$1"
      shift
    done
    exec chroot "$root" /usr/bin/env -u LD_PRELOAD -u LD_LIBRARY_PATH \
      PATH=/usr/local/bin:/usr/bin:/bin HOME=/root "$@"' \
    i386-root "$into" "${#dirs[@]}" "${dirs[@]}" "$@"
}

# The static qemu-i386 of bookworm-backports' qemu-user, unpacked, never installed: apt
# reads a source list and package lists of its own in a folder that goes afterwards.
fetch_qemu() {
  local tmp status=0
  tmp=$(mktemp -d)
  mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial" "$(dirname "$qemu")"
  echo "deb $mirror bookworm-backports main" >"$tmp/sources.list"
  local apt=(-q -o "Dir::Etc::sourcelist=$tmp/sources.list" -o Dir::Etc::sourceparts=-
    -o "Dir::State::lists=$tmp/lists" -o "Dir::Cache=$tmp/cache" -o APT::Sandbox::User=root)
  say "fetching qemu-user from bookworm-backports"
  if (cd "$tmp" && apt-get "${apt[@]}" update && apt-get "${apt[@]}" download qemu-user) >"$tmp/apt.log" 2>&1 &&
    dpkg-deb -x "$tmp"/qemu-user_*.deb "$tmp/unpacked" &&
    "$tmp/unpacked/usr/bin/qemu-i386" --version >/dev/null; then
    install -m 755 "$tmp/unpacked/usr/bin/qemu-i386" "$qemu.new"
    mv -f "$qemu.new" "$qemu"
  else
    status=1
    echo "cannot fetch qemu-user from bookworm-backports: $(tail -n 1 "$tmp/apt.log" 2>/dev/null)"
  fi
  rm -rf "$tmp"
  return $status
}

# The emulator where the kernel cannot run 32-bit programs; else none of ours in the way.
setup_emulator() {
  if ! needs_emulator; then
    if [ -f "$entry" ]; then
      say "this kernel runs 32-bit programs: removing the qemu-i386 registration"
      echo -1 >"$entry"
    fi
    return 0
  fi
  if [ ! -f /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null ||
      cannot "this kernel cannot run 32-bit programs, and binfmt_misc, through which an emulator would run them, is not available"
  fi
  registered && return 0
  if [ ! -x "$qemu" ]; then
    fetch_qemu || exit 1
  fi
  [ -f "$entry" ] && echo -1 >"$entry"
  # F: the kernel opens the emulator now, so that it is found from inside the root too.
  echo ":orvel-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register ||
    cannot "cannot register qemu-i386 through binfmt_misc"
  say "qemu-i386 registered for 32-bit programs ($("$qemu" --version | head -n 1))"
}

setup_root() {
  root_made && return 0
  command -v debootstrap >/dev/null || cannot "debootstrap is not installed (apt-get install debootstrap; test.sh does)"
  local new=$root.new log=$cache/i386-root.log start=$SECONDS
  say "making the 32-bit Wine root in $root (about 10 minutes; log: $log)"
  rm -rf "$new"
  debootstrap --arch=i386 --variant=minbase bookworm "$new" "$mirror" >"$log" 2>&1 ||
    cannot "cannot make the 32-bit Wine root: debootstrap failed: $(tail -n 1 "$log")"
  say "debootstrap done in $((SECONDS - start)) s; installing 32-bit Wine and Mesa"
  (run_in "$new" -- sh -c "export DEBIAN_FRONTEND=noninteractive
    apt-get update -q && apt-get install -y -q --no-install-recommends ${packages[*]} &&
    apt-get clean && rm -rf /var/lib/apt/lists/*") >>"$log" 2>&1 ||
    cannot "cannot install 32-bit Wine in the root: $(tail -n 1 "$log")"
  echo "$recipe" >"$new/.orvel-root"
  rm -rf "$root.old"
  if [ -d "$root" ]; then mv "$root" "$root.old"; fi
  mv "$new" "$root"
  rm -rf "$root.old"
  say "made in $((SECONDS - start)) s, $(du -sh "$root" | cut -f 1)"
}

setup() {
  [ "$(id -u)" -eq 0 ] || cannot "the 32-bit Wine root needs root (chroot, mount namespaces, binfmt_misc)"
  [ "$(uname -m)" = x86_64 ] || cannot "the 32-bit Wine root is made for x86-64 machines, not $(uname -m)"
  mkdir -p "$cache" || cannot "cannot make $cache"
  # One setup at a time on the machine: clones share the cache.
  exec 9>"$cache/.lock"
  flock -w 1800 9 || cannot "another setup of $root has held it for 30 minutes"
  setup_emulator
  setup_root
  (run_in "$root" -- /bin/true) 2>/dev/null || cannot "the 32-bit Wine root in $root does not run here"
}

usage="usage: i386-root.sh setup|status|emulated|run DIR... -- COMMAND..."
[ $# -ge 1 ] || { echo "$usage" >&2; exit 2; }
command=$1
shift
case $command in
  setup) setup ;;
  status)
    reason=$(why_not)
    [ -z "$reason" ] || cannot "$reason"
    ;;
  emulated) registered ;;
  run)
    reason=$(why_not)
    [ -z "$reason" ] || { echo "i386-root: $reason" >&2; exit 1; }
    run_in "$root" "$@"
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
