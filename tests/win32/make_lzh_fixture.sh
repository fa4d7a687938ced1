#!/usr/bin/env bash
# Makes the LZH archive that the Wine tests unpack, with lha, and keeps the
# files it was made from beside it for comparison:
#   make_lzh_fixture.sh OUTDIR   ->  OUTDIR/app.lzh, OUTDIR/app/...
# The files are the layout of a built file's archive: a loose file at the
# top, the [shell] item and token folders, one of them nested.
set -euo pipefail
out=$1
rm -rf "$out/app" "$out/app.lzh"
mkdir -p "$out/app/[shell]" "$out/app/[System]" "$out/app/[Desktop]/docs"
cd "$out/app"
printf 'loose at the top\r\n' >top.txt
printf '[Setup]\r\nTitle=Sample\r\n' >'[shell]/setup.ini'
# Bytes that do not pack well, and text that does: both stored and lh5 entries.
perl -e 'print pack("C*", map { ($_ * 7919 + 13) % 256 } 0 .. 5999)' >'[System]/sample.dll'
seq 1 1500 >'[Desktop]/readme.txt'
printf 'Read me first.\r\n' >'[Desktop]/docs/guide.txt'
lha aq ../app.lzh top.txt '[shell]/setup.ini' '[System]/sample.dll' '[Desktop]/readme.txt' \
  '[Desktop]/docs/guide.txt' >/dev/null
