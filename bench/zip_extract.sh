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
cache="$disk_dir/corpora-q$quick-b$big_mb"

for tool in zip unzip 7z bsdtar /usr/bin/time diff; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install zip unzip p7zip-full libarchive-tools time diffutils)" >&2; exit 2; }
done
[[ -x $cli ]] || { echo "missing: $cli (build it first, or set ARKOVA_CLI)" >&2; exit 2; }

work_dirs=()
cleanup() { for d in "${work_dirs[@]}"; do rm -rf "$d"; done; }
trap cleanup EXIT

# --- corpora ----------------------------------------------------------------------------------------------------

make_small() {
    local zip=$1
    if [[ $small_limit -gt 0 ]]; then
        (cd /usr && find include share/doc -type f | sort | head -n "$small_limit" | zip -6 -q "$zip" -@) || true
    else
        (cd /usr && zip -6 -q -r "$zip" include share/doc) || true
    fi
}

make_binaries() {
    local zip=$1 list
    list=$(find /usr -xdev -type f -size +20M -size -200M 2>/dev/null | sort | head -n "$binary_count")
    [[ -n $list ]] || list=$(find /usr -xdev -type f -size +2M 2>/dev/null | sort | head -n "$binary_count")
    # -j: the binaries come from different folders; stored by name only.
    echo "$list" | zip -6 -q -j "$zip" -@ || true
}

make_repetitive() {
    local zip=$1 folder
    folder=$(mktemp -d "$disk_dir/rep.XXXXXX")
    # A 4 KB block of C text repeated: deflate finds it again within its window, so it packs about 300 to 1.
    local block
    block=$(head -c 4096 /usr/include/stdio.h 2>/dev/null || head -c 4096 /etc/services)
    yes "$block" | head -c "$((big_mb * 1024 * 1024))" > "$folder/repetitive.log" || true
    (cd "$folder" && zip -6 -q "$zip" repetitive.log)
    rm -rf "$folder"
}

mkdir -p "$cache"
for corpus in $corpora; do
    if [[ ! -s $cache/$corpus.zip ]]; then
        echo "building corpus '$corpus' ..." >&2
        rm -f "$cache/$corpus.zip"
        "make_$corpus" "$cache/$corpus.zip"
    fi
done

# --- measuring --------------------------------------------------------------------------------------------------

# run_timed OUT_FILE command... : wall seconds and peak RSS (KiB) of one run, appended as "seconds kib".
run_timed() {
    local result=$1; shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -v -o "$result.time" "$@" > /dev/null 2> "$result.err" || {
        echo "FAILED: $*" >&2; cat "$result.err" >&2; exit 1; }
    end=$(date +%s%N)
    local rss
    rss=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$result.time")
    echo "$(( (end - start) / 1000000 )) $rss" >> "$result"
}

median() { sort -n | awk '{ a[NR] = $1 } END { if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

bench_one() {
    local fs=$1 corpus=$2 base
    if [[ $fs == shm ]]; then base=/dev/shm/arkova-bench-$$; else base=$disk_dir/run-$$; fi
    rm -rf "$base"; mkdir -p "$base"; work_dirs+=("$base")
    local zip=$base/$corpus.zip results=$base/results
    mkdir -p "$results"
    cp "$cache/$corpus.zip" "$zip"
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
            if [[ $tool == arkova && $run == 1 ]] && ! diff -r -q "$base/reference" "$out" > "$results/diff" 2>&1; then
                echo "MISMATCH: arkova's tree differs from unzip's ($fs/$corpus):" >&2; head "$results/diff" >&2; exit 1
            fi
            rm -rf "$out"
        done
    done
    local files bytes
    files=$(find "$base/reference" -type f | wc -l)
    bytes=$(du -sb "$base/reference" | cut -f1)
    printf '\n%s on %s: %d files, %d MB unpacked, %d MB packed, median of %d runs (identical to unzip: yes)\n' \
        "$corpus" "$fs" "$files" "$((bytes / 1000000))" "$(( $(stat -c %s "$zip") / 1000000 ))" "$runs"
    local arkova_ms
    arkova_ms=$(cut -d' ' -f1 "$results/arkova" | median)
    printf '  %-8s %9s %11s %14s\n' tool "time (s)" "peak MiB" "vs arkova"
    for tool in "${tools[@]}"; do
        local ms rss
        ms=$(cut -d' ' -f1 "$results/$tool" | median)
        rss=$(cut -d' ' -f2 "$results/$tool" | median)
        if [[ $tool == arkova ]]; then
            printf '  %-8s %9.3f %11.1f %14s\n' "$tool" "$(echo "$ms / 1000" | bc -l)" "$(echo "$rss / 1024" | bc -l)" "-"
        elif [[ $tool == cp ]]; then
            printf '  %-8s %9.3f %11.1f %14s\n' "cp -r" "$(echo "$ms / 1000" | bc -l)" "$(echo "$rss / 1024" | bc -l)" \
                "$(printf 'arkova/cp %.2fx' "$(echo "$arkova_ms / $ms" | bc -l)")"
        else
            printf '  %-8s %9.3f %11.1f %14s\n' "$tool" "$(echo "$ms / 1000" | bc -l)" "$(echo "$rss / 1024" | bc -l)" \
                "$(printf '%.2fx slower' "$(echo "$ms / $arkova_ms" | bc -l)")"
        fi
    done
    rm -rf "$base"
}

echo "arkova-cli: $cli; $(nproc) processors; $runs runs per tool"
for fs in $filesystems; do
    for corpus in $corpora; do bench_one "$fs" "$corpus"; done
done
