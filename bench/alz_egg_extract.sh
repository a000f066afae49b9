#!/usr/bin/env bash
# Extraction speed of `arkova-cli x` on a bzip2 ALZ and an LZMA EGG of the small-files corpus (/usr/include and
# /usr/share/doc), against 7z on the same files as .tar.bz2 (7z x -so | 7z x -si -ttar) and .7z (LZMA), and the
# write limit (`cp -r` of the tree), all in one run on tmpfs (/dev/shm). Prints median wall times, ratios and peak
# memory (/usr/bin/time -v); every arkova tree is compared with the source tree (diff -r).
#
# Usage: bench/alz_egg_extract.sh            about 3000 files
#        FULL=1 bench/alz_egg_extract.sh     the whole corpus (several minutes to pack)
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), PACKER (default build/linux/bin/make-bench-archive),
#           RUNS (3), SMALL_FILES, DISK_DIR (default build/bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
packer=${PACKER:-$root/build/linux/bin/make-bench-archive}
runs=${RUNS:-3}
if [[ ${FULL:-0} == 1 ]]; then small_limit=${SMALL_FILES:-0}; else small_limit=${SMALL_FILES:-3000}; fi
disk_dir=${DISK_DIR:-$root/build/bench}

require_tools 7z tar /usr/bin/time diff bc
require_cli "$cli"
[[ -x $packer ]] || { echo "missing: $packer (cmake --build build/linux --target make-bench-archive)" >&2; exit 2; }

# The corpus as a folder and in the four archives, cached by its size.
corpus=$disk_dir/corpora/alzegg-$small_limit
if [[ ! -s $corpus/small.7z ]]; then
    echo "building the ALZ/EGG corpus ($corpus) ..." >&2
    rm -rf "$corpus"; mkdir -p "$corpus/tree"
    if [[ $small_limit -gt 0 ]]; then
        (cd /usr && find include share/doc -type f | sort | head -n "$small_limit" | xargs -d "\n" cp -p --parents -t "$corpus/tree") || true
    else
        (cd /usr && find include share/doc -type f | xargs -d "\n" cp -p --parents -t "$corpus/tree") || true
    fi
    "$packer" alz "$corpus/tree" "$corpus/small.alz"
    "$packer" egg "$corpus/tree" "$corpus/small.egg"
    tar -C "$corpus/tree" -cjf "$corpus/small.tar.bz2" .
    (cd "$corpus/tree" && 7z a -bd -bso0 -m0=lzma "$corpus/small.7z" . >/dev/null)
fi

base=/dev/shm/arkova-alzegg-$$
rm -rf "$base"; mkdir -p "$base/results"; work_dirs+=("$base")
cp "$corpus"/small.* "$base/"
cp -r "$corpus/tree" "$base/reference"
results=$base/results
tools=(alz egg tar.bz2 7z cp)
for ((run = 1; run <= runs; run++)); do
    for tool in "${tools[@]}"; do
        out=$base/out-$tool
        rm -rf "$out"; mkdir -p "$out"
        case $tool in
            alz|egg) run_timed "$results/$tool" "$cli" x -q -y -o "$out" "$base/small.$tool" ;;
            tar.bz2) run_timed "$results/$tool" bash -c "7z x -so '$base/small.tar.bz2' | 7z x -si -ttar -bd -bso0 -o'$out'" ;;
            7z)      run_timed "$results/$tool" 7z x -y -bd -bso0 "-o$out" "$base/small.7z" ;;
            cp)      rmdir "$out"; run_timed "$results/$tool" cp -r "$base/reference" "$out" ;;
        esac
        if [[ ($tool == alz || $tool == egg) && $run == 1 ]]; then
            require_same_tree "$base/reference" "$out" "$results/diff" \
                "arkova's tree from the $tool archive differs from the source:"
        fi
        rm -rf "$out"
    done
done

read -r files bytes < <(tree_size "$base/reference")
printf '\nsmall files on shm: %d files, %d MB; packed: alz %d MB, egg %d MB, tar.bz2 %d MB, 7z %d MB; median of %d runs\n' \
    "$files" "$((bytes / 1000000))" "$(($(stat -c %s "$base/small.alz") / 1000000))" \
    "$(($(stat -c %s "$base/small.egg") / 1000000))" "$(($(stat -c %s "$base/small.tar.bz2") / 1000000))" \
    "$(($(stat -c %s "$base/small.7z") / 1000000))" "$runs"
table_header
alz_us=$(median_us "$results/alz")
egg_us=$(median_us "$results/egg")
table_row "alz" "$results/alz" "-"
table_row "7z tbz2" "$results/tar.bz2" "$(peer_text "$(median_us "$results/tar.bz2")" "$alz_us") (vs alz)"
table_row "egg" "$results/egg" "-"
table_row "7z 7z" "$results/7z" "$(peer_text "$(median_us "$results/7z")" "$egg_us") (vs egg)"
table_row "cp -r" "$results/cp" "$(ratio_text "$egg_us" "$(median_us "$results/cp")" egg/cp)"
