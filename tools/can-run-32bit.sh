#!/usr/bin/env bash
# Whether this machine's kernel runs 32-bit x86 programs itself: some kernels are built
# (or booted) without it, and then tools/i386-root.sh has an emulator run them. Runs a
# tiny 32-bit Linux program, written here byte by byte (an ELF header, one loadable
# segment and the exit system call, 93 bytes), and ends with 0 when it runs; otherwise it
# says why on standard output and ends with 1. Its header says ABI version 1, which the
# kernel's own loader ignores and the binfmt_misc registrations of qemu-i386 do not
# match (they ask for 0), so an emulator registered on the machine cannot answer for the
# kernel.
#
#   tools/can-run-32bit.sh
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/orvel-32bit-probe.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
{
  # ELF header: 32-bit, little-endian, ABI version 1, executable, i386, entry 0x08048054,
  # one program header at offset 52.
  printf '\x7fELF\x01\x01\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x28\x00\x00\x00\x00\x00'
  # Program header: the whole file loaded read-and-execute at 0x08048000.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); xor ebx, ebx (status 0); int 0x80.
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
} >"$probe"
chmod +x "$probe"
if error=$("$probe" 2>&1); then
  exit 0
fi
case $error in
  *"Exec format error"*) echo "this kernel cannot run 32-bit programs (a 32-bit probe gives \"Exec format error\")" ;;
  *) echo "a 32-bit probe does not run here: ${error:-it ended with an error}" ;;
esac
exit 1
