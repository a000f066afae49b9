#!/usr/bin/env bash
# Extraction speed of `arkova-cli x` on ZIP archives against unzip, 7z, bsdtar and the write limit (`cp -r` of the
# extracted tree), all measured in the same run, on tmpfs (/dev/shm) and on disk. Prints the median wall time of
# each tool, the ratios, and the peak memory (/usr/bin/time -v). Every arkova tree is compared with unzip's (diff -r).
#
# Corpora, built from files on this machine and zipped with `zip -6 -q -r`:
#   small       /usr/include and /usr/share/doc (many small files)
#   binaries    a few large binaries from /usr
#   repetitive  one highly compressible file (BIG_MB, 1024 by default)
#
# Usage: bench/zip_extract.sh            full run (about 10 minutes on 2 cores)
#        QUICK=1 bench/zip_extract.sh    a 1-2 minute run on smaller corpora
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), RUNS, BIG_MB, DISK_DIR (default build/bench),
#           CORPORA (space-separated subset of the names above), FILESYSTEMS ("shm disk").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
quick=${QUICK:-0}
if [[ $quick == 1 ]]; then
    runs=${RUNS:-3}; big_mb=${BIG_MB:-128}; small_limit=${SMALL_FILES:-3000}; binary_count=${BINARIES:-2}
else
    runs=${RUNS:-5}; big_mb=${BIG_MB:-1024}; small_limit=${SMALL_FILES:-0}; binary_count=${BINARIES:-4}
fi
corpora=${CORPORA:-small binaries repetitive}
filesystems=${FILESYSTEMS:-shm disk}
disk_dir=${DISK_DIR:-$root/build/bench}

require_tools zip unzip 7z bsdtar /usr/bin/time diff bc
require_cli "$cli"

mkdir -p "$disk_dir"
for corpus in $corpora; do ensure_corpus "$corpus"; done

# --- measuring --------------------------------------------------------------------------------------------------

bench_one() {
    local fs=$1 corpus=$2 base
    if [[ $fs == shm ]]; then base=/dev/shm/arkova-bench-$$; else base=$disk_dir/run-$$; fi
    rm -rf "$base"; mkdir -p "$base"; work_dirs+=("$base")
    local zip=$base/$corpus.zip results=$base/results
    mkdir -p "$results"
    cp "$(corpus_file "$corpus")" "$zip"
    # The reference tree, from unzip, on the same file system: what cp -r copies and what diff compares against.
    unzip -q "$zip" -d "$base/reference"
    local tools=(arkova unzip 7z bsdtar cp)
    for ((run = 1; run <= runs; run++)); do
        for tool in "${tools[@]}"; do
            local out=$base/out-$tool
            rm -rf "$out"; sync
            case $tool in
                arkova) run_timed "$results/$tool" "$cli" x -q -y -o "$out" "$zip" ;;
                unzip)  run_timed "$results/$tool" unzip -q -o "$zip" -d "$out" ;;
                7z)     run_timed "$results/$tool" 7z x -y -bd -bso0 "-o$out" "$zip" ;;
                bsdtar) mkdir -p "$out"; run_timed "$results/$tool" bsdtar -xf "$zip" -C "$out" ;;
                cp)     run_timed "$results/$tool" cp -r "$base/reference" "$out" ;;
            esac
            if [[ $tool == arkova && $run == 1 ]]; then
                require_same_tree "$base/reference" "$out" "$results/diff" "arkova's tree differs from unzip's ($fs/$corpus):"
            fi
            rm -rf "$out"
        done
    done
    local files bytes
    read -r files bytes < <(tree_size "$base/reference")
    printf '\n%s on %s: %d files, %d MB unpacked, %d MB packed, median of %d runs (identical to unzip: yes)\n' \
        "$corpus" "$fs" "$files" "$((bytes / 1000000))" "$(( $(stat -c %s "$zip") / 1000000 ))" "$runs"
    local arkova_us
    arkova_us=$(median_us "$results/arkova")
    table_header
    for tool in "${tools[@]}"; do
        case $tool in
            arkova) table_row "$tool" "$results/$tool" "-" ;;
            cp)     table_row "cp -r" "$results/$tool" "$(ratio_text "$arkova_us" "$(median_us "$results/$tool")" arkova/cp)" ;;
            *)      table_row "$tool" "$results/$tool" "$(slower_text "$(median_us "$results/$tool")" "$arkova_us")" ;;
        esac
    done
    rm -rf "$base"
}

echo "arkova-cli: $cli; $(nproc) processors; $runs runs per tool"
for fs in $filesystems; do
    for corpus in $corpora; do bench_one "$fs" "$corpus"; done
done
