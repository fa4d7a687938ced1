#!/usr/bin/env bash
# Makes the LZH archive that the Wine tests unpack, with jlha (the Java LHA
# archiver, another maker than the kit's own writer), and keeps the
# files it was made from beside it for comparison:
#   make_lzh_fixture.sh OUTDIR   ->  OUTDIR/app.lzh, OUTDIR/app/...
# The files are the layout of a built file's archive: a loose file at the
# top, a [shell] folder whose only file lies in a subfolder (so that no
# program is opened), and token folders that point into folders a test
# owns (its SFX_E2E_DEST variable and its TMP), one of them nested.
set -euo pipefail
out=$1
rm -rf "$out/app" "$out/app.lzh"
mkdir -p "$out/app/[shell]/config" "$out/app/[Environment]/SFX_E2E_DEST" "$out/app/[Temporary]/docs"
cd "$out/app"
printf 'loose at the top\r\n' >top.txt
printf '[Setup]\r\nTitle=Sample\r\n' >'[shell]/config/setup.ini'
# Bytes that do not pack well, and text that does: both stored and lh5 entries.
perl -e 'print pack("C*", map { ($_ * 7919 + 13) % 256 } 0 .. 5999)' >'[Environment]/SFX_E2E_DEST/sample.dll'
seq 1 1500 >'[Temporary]/readme.txt'
printf 'Read me first.\r\n' >'[Temporary]/docs/guide.txt'
jlha aq ../app.lzh top.txt '[shell]/config/setup.ini' '[Environment]/SFX_E2E_DEST/sample.dll' '[Temporary]/readme.txt' \
  '[Temporary]/docs/guide.txt' >/dev/null
