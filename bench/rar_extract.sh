#!/usr/bin/env bash
# Extraction speed of `arkova-cli x` on a RAR 5 archive of the small-files corpus against `unrar x` and the write
# limit (`cp -r` of the extracted tree), and of `arkova-cli t` against `unrar t`, measured in the same run, on tmpfs
# (/dev/shm) and on disk. Prints the median wall time of each tool, the ratios and the peak memory
# (/usr/bin/time -v); arkova's tree is compared with unrar's (diff -r). Debian has no RAR codec for 7z outside p7zip-rar, which would change what the 7-Zip tests see,
# so 7z is not measured here.
#
# The corpus: /usr/include and /usr/share/doc, as bench/zip_extract.sh's 'small', archived with `rar a -m3` (and
# `-s` for the solid variant).
#
# Usage: bench/rar_extract.sh            full run (all of the small files, 5 runs)
#        QUICK=1 bench/rar_extract.sh    3,000 files, 3 runs
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), RUNS, DISK_DIR (default build/bench),
#           KINDS ("plain solid"), FILESYSTEMS ("shm disk").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
quick=${QUICK:-0}
if [[ $quick == 1 ]]; then
    runs=${RUNS:-3}; small_limit=${SMALL_FILES:-3000}
else
    runs=${RUNS:-5}; small_limit=${SMALL_FILES:-0}
fi
kinds=${KINDS:-plain solid}
filesystems=${FILESYSTEMS:-shm disk}
disk_dir=${DISK_DIR:-$root/build/bench}

command -v rar >/dev/null && command -v unrar >/dev/null ||
    { echo "missing: rar and unrar (scripts/setup.sh installs them from non-free)" >&2; exit 2; }
require_tools /usr/bin/time diff bc
require_cli "$cli"

# rar_corpus KIND: the cached archive of the small files, made once.
rar_corpus() {
    local name
    if [[ $small_limit -gt 0 ]]; then name=small-$small_limit; else name=small-all; fi
    echo "$disk_dir/corpora/$name-$1.rar"
}

make_rar() {
    local kind=$1 archive list
    archive=$(rar_corpus "$kind")
    [[ -s $archive ]] && return 0
    echo "building the RAR corpus '$kind' ..." >&2
    mkdir -p "$(dirname "$archive")"
    list=$(mktemp); work_dirs+=("$list")
    if [[ $small_limit -gt 0 ]]; then
        (cd /usr && find include share/doc -type f | sort | head -n "$small_limit") > "$list" || true
    else
        (cd /usr && find include share/doc -type f | sort) > "$list"
    fi
    local solid=()
    [[ $kind == solid ]] && solid=(-s)
    rm -f "$archive.part.rar"
    (cd /usr && rar a -idq -ma5 -m3 "${solid[@]}" "$archive.part.rar" "@$list") || true
    [[ -s $archive.part.rar ]] || { echo "building the RAR corpus failed" >&2; exit 1; }
    mv "$archive.part.rar" "$archive"
}

bench_one() {
    local fs=$1 kind=$2 base
    if [[ $fs == shm ]]; then base=/dev/shm/arkova-rar-bench-$$; else base=$disk_dir/rar-run-$$; fi
    rm -rf "$base"; mkdir -p "$base"; work_dirs+=("$base")
    local archive=$base/small.rar results=$base/results
    mkdir -p "$results"
    cp "$(rar_corpus "$kind")" "$archive"
    unrar x -idq -y "$archive" "$base/reference/"
    local tools=(arkova unrar cp arkova-t unrar-t)
    for ((run = 1; run <= runs; run++)); do
        for tool in "${tools[@]}"; do
            local out=$base/out-$tool
            rm -rf "$out"; sync
            case $tool in
                arkova) run_timed "$results/$tool" "$cli" x -q -y -o "$out" "$archive" ;;
                unrar)  mkdir -p "$out"; run_timed "$results/$tool" unrar x -idq -y "$archive" "$out/" ;;
                cp)     run_timed "$results/$tool" cp -r "$base/reference" "$out" ;;
                arkova-t) run_timed "$results/$tool" "$cli" t -q "$archive" ;;
                unrar-t)  run_timed "$results/$tool" unrar t -idq "$archive" ;;
            esac
            if [[ $tool == arkova && $run == 1 ]]; then
                require_same_tree "$base/reference" "$out" "$results/diff" "arkova's tree differs from unrar's ($fs/$kind):"
            fi
            rm -rf "$out"
        done
    done
    local files bytes
    read -r files bytes < <(tree_size "$base/reference")
    printf '\nsmall files, RAR 5 %s, on %s: %d files, %d MB unpacked, %d MB packed, median of %d runs (identical to unrar: yes)\n' \
        "$kind" "$fs" "$files" "$((bytes / 1000000))" "$(( $(stat -c %s "$archive") / 1000000 ))" "$runs"
    local arkova_us
    arkova_us=$(median_us "$results/arkova")
    table_header
    table_row arkova "$results/arkova" "-"
    table_row unrar "$results/unrar" "$(peer_text "$(median_us "$results/unrar")" "$arkova_us")"
    table_row "cp -r" "$results/cp" "$(ratio_text "$arkova_us" "$(median_us "$results/cp")" arkova/cp)"
    printf '  testing (t):\n'
    table_row arkova "$results/arkova-t" "-"
    table_row unrar "$results/unrar-t" "$(peer_text "$(median_us "$results/unrar-t")" "$(median_us "$results/arkova-t")")"
    rm -rf "$base"
}

mkdir -p "$disk_dir"
for kind in $kinds; do make_rar "$kind"; done
echo "arkova-cli: $cli; $(nproc) processors; $runs runs per tool"
for fs in $filesystems; do
    for kind in $kinds; do bench_one "$fs" "$kind"; done
done
