#!/usr/bin/env bash
# Writes small RAR 5 archives made by the RAR archiver into the folder given: compressed, solid, encrypted data,
# encrypted headers and a symbolic link. Without rar there is nothing to add: the writers' seeds remain.
set -euo pipefail
out=$1
command -v rar >/dev/null || exit 0
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p seed/sub
for i in $(seq 1 200); do printf 'seed line %d\n' "$i"; done > seed/lines.txt
printf '한글\n' > 'seed/sub/이름.txt'
ln -s ../outside seed/link
r() { rar a -idq -ma5 -ol "$@"; }
r -m3 "$out/compressed.rar" seed
r -m5 -s "$out/solid.rar" seed
r -pSecret "$out/encrypted.rar" seed
r -hpSecret "$out/encrypted-headers.rar" seed
