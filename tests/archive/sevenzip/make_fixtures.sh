#!/usr/bin/env bash
# Makes the archives the 7-Zip adapter tests read, with the real tools, into the folder given. Run by the build, so
# that the Windows test programs under Wine find them too. Every archive holds the same small tree (or, for the
# single-stream formats, its one file), with a fixed modification time.
set -euo pipefail
out=$1
rm -rf "$out.tmp"
mkdir -p "$out.tmp/src/tree/sub/deeper" "$out.tmp/src/tree/empty folder"
cd "$out.tmp/src"

printf 'alpha\n' > tree/a.txt
: > tree/empty.txt
# Compressible but not trivial, large enough for several progress reports.
for i in $(seq 1 20000); do printf 'line %06d of the big file\n' "$i"; done > tree/sub/deeper/big.txt
printf '한글 내용\n' > 'tree/sub/한글 이름.txt'
find tree -exec touch -h -d '@1650000000' {} +
cp tree/a.txt single.txt
touch -d '@1650000000' single.txt

a() { 7z a -bd -bso0 -bsp0 "$@"; }
a -tzip ../tree.zip tree
a -t7z -ms=on ../tree.7z tree
a -t7z -ms=on -mx=9 -pSecret ../encrypted.7z tree
a -t7z -pSecret -mhe=on ../encrypted-headers.7z tree
a -tzip -pSecret ../encrypted.zip tree
a -tzip -pSecret -mem=AES256 ../encrypted-aes.zip tree
a -tzip -mm=BZip2 ../bzip2-method.zip tree
# The same tree by Info-ZIP (Unix hosts, extended timestamps), stored and at three levels; and every ZIP of
# libarchive's test suite, when the setup script has fetched it: archives nobody here made, for the listing tests.
mkdir -p ../zips
for level in 0 1 6 9; do zip -q -r -"$level" "../zips/info-zip-$level.zip" tree; done
cp ../tree.zip ../bzip2-method.zip ../encrypted.zip ../zips/
corpus="${ARKOVA_CACHE:-$HOME/.cache/arkova}/libarchive-corpus-3.6.2-1+deb12u5/archives"
if [ -d "$corpus" ]; then find "$corpus" -name '*.zip' -exec cp -t ../zips {} +; fi
# Plain entries beside encrypted ones.
mkdir -p partly
printf 'plain one\n' > partly/plain.txt
printf 'secret\n' > partly/secret.txt
printf 'plain two\n' > partly/z-plain.txt
a -tzip ../partly-encrypted.zip partly/plain.txt
a -tzip -pSecret ../partly-encrypted.zip partly/secret.txt
a -tzip ../partly-encrypted.zip partly/z-plain.txt
a -twim ../tree.wim tree
tar --format=gnu -cf ../tree.tar tree
# Hard links: two names of one file's data, after it; then the same links with the file deleted and appended again
# (a link to nothing before it), and a link to itself.
mkdir -p hardlinks
printf 'shared data\n' > hardlinks/data.txt
ln hardlinks/data.txt hardlinks/link.txt
ln hardlinks/data.txt hardlinks/second.txt
printf 'other\n' > hardlinks/other.txt
find hardlinks -exec touch -h -d '@1650000000' {} +
tar --format=gnu -cf ../hardlinks.tar hardlinks/data.txt hardlinks/link.txt hardlinks/other.txt hardlinks/second.txt
cp ../hardlinks.tar ../broken-links.tar
tar --delete -f ../broken-links.tar hardlinks/data.txt
tar --format=gnu -rf ../broken-links.tar hardlinks/data.txt
tar --format=gnu -cf ../self-link.tar hardlinks/other.txt hardlinks/data.txt hardlinks/data.txt
tar --delete --occurrence=1 -f ../self-link.tar hardlinks/data.txt
gzip -c -9 single.txt > ../single.txt.gz
bzip2 -c single.txt > ../single.txt.bz2
xz -c single.txt > ../single.txt.xz
gzip -c -n ../tree.tar > ../tree.tgz
# Tarballs, opened as the tar inside; one under a name that says nothing, found by content.
cp ../tree.tgz ../tree.tar.gz
bzip2 -c ../tree.tar > ../tree.tar.bz2
xz -c ../tree.tar > ../tree.tar.xz
cp ../tree.tar.xz ../tree.txz
cp ../tree.tar.bz2 ../tarball.data
# A gzip stream of a file that is not a tar, without a stored name.
gzip -n -c tree/sub/deeper/big.txt > ../big-lines.gz
# A good gzip stream followed by bytes that belong to nothing.
{ cat ../single.txt.gz; printf 'trailing garbage, not a gzip member'; } > ../trailing.txt.gz
{ cat ../tree.tgz; printf 'trailing garbage, not a gzip member'; } > ../trailing.tgz
# Formats that neither detection table knows, found by the library's handlers.
if command -v compress >/dev/null; then compress -c single.txt > ../single.txt.Z; fi
if command -v cpio >/dev/null; then find tree -depth -print | cpio -o -H newc --quiet > ../tree.cpio; fi
# ARJ names are bytes of the maker's code page: the Korean one would be UTF-8 read as CP949 on Windows.
if command -v arj >/dev/null; then
  (arj a ../tree.arj tree/a.txt tree/sub/deeper/big.txt >/dev/null && [ -f ../tree.arj ]) || rm -f ../tree.arj
fi
# LZH: no Debian tool writes it; libarchive's test archive, when the setup script has fetched the corpus.
if [ -f "$corpus/test_read_format_lha_lh6.lzh" ]; then cp "$corpus/test_read_format_lha_lh6.lzh" ../lh6.lzh; fi
# One file and no symbolic links, whose "name|target" entries cannot be Windows file names.
if [ -f "$corpus/test_read_format_lha_bugfix_0.lzh" ]; then cp "$corpus/test_read_format_lha_bugfix_0.lzh" ../lh5.lzh; fi
# gcab and xorriso come from the setup script's package list; without them those tests skip.
if command -v gcab >/dev/null; then gcab -c -z ../tree.cab tree/a.txt tree/empty.txt tree/sub/deeper/big.txt; fi
if command -v xorriso >/dev/null; then
  xorriso -as mkisofs -quiet -J -R -V TREE -graft-points -o ../tree.iso /tree=tree 2>/dev/null
fi

# RAR archives with the RAR maker's own archiver (from non-free, like the library); without it the RAR tests skip.
if command -v rar >/dev/null; then
  r() { rar a -idq -ma5 "$@"; }
  printf 'The comment of the archive.\n' > comment.txt
  r ../tree.rar tree
  r -m0 ../tree-stored.rar tree
  r -m5 -s ../tree-solid.rar tree
  r -m5 -htb -zcomment.txt ../tree-best.rar tree
  r -pSecret ../encrypted.rar tree
  r -hpSecret ../encrypted-headers.rar tree
  # Stored, so that the big file spans all three volumes.
  r -m0 -v200k ../tree-volumes.rar tree
  mkdir -p links
  printf 'beside the link\n' > links/file.txt
  ln -s ../../outside links/escape
  ln -s /etc/passwd links/absolute
  find links -exec touch -h -d '@1650000000' {} +
  r -ol ../links.rar links
  # A hard link (-oh) and a file stored as a reference to an identical one (-oi), also in a solid archive.
  mkdir -p rarlinks
  printf 'shared data\n' > rarlinks/data.txt
  ln rarlinks/data.txt rarlinks/link.txt
  printf 'same bytes\n' > rarlinks/copy-a.txt
  cp rarlinks/copy-a.txt rarlinks/copy-b.txt
  printf 'plain\n' > rarlinks/plain.txt
  find rarlinks -exec touch -h -d '@1650000000' {} +
  r -oh -oi:1 ../rarlinks.rar rarlinks
  r -oh -oi:1 -s ../rarlinks-solid.rar rarlinks
  rm -f comment.txt
fi

cd ..
if [ -f tree-volumes.part1.rar ]; then
  cp tree-volumes.part1.rar missing-volume.part1.rar
  cp tree-volumes.part2.rar missing-volume.part2.rar
  # The big file's data damaged in the middle of the solid stream, and an archive cut in half.
  cp tree-solid.rar damaged.rar
  size=$(stat -c %s damaged.rar)
  printf '\x55\xAA\x55\xAA\x55\xAA\x55\xAA' | dd of=damaged.rar bs=1 seek=$((size / 2)) conv=notrunc status=none
  head -c $(($(stat -c %s tree-stored.rar) / 2)) tree-stored.rar > truncated.rar
fi
cp tree.zip x.dat            # a ZIP under a name the extension table does not know
cp tree.zip zip-named.rar    # a ZIP under the RAR extension
printf 'This is not an archive, only text that is long enough to be looked at.\n' > not-an-archive.zip
head -c 200 tree.7z > truncated.7z
# The big file's compressed data damaged in the middle.
cp tree.zip damaged.zip
size=$(stat -c %s damaged.zip)
printf '\x55\xAA\x55\xAA\x55\xAA\x55\xAA' | dd of=damaged.zip bs=1 seek=$((size / 2)) conv=notrunc status=none
rm -rf src
cd /
rm -rf "$out"
mv "$out.tmp" "$out"
