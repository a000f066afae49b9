#!/usr/bin/env bash
# shellcheck disable=SC2154  # disk_dir, small_limit, binary_count and big_mb come from the sourcing script
# Helpers shared by the benchmark scripts in bench/, which source this file: tool checks, temporary folders removed
# on exit, the cached ZIP corpora built from files on this machine, timing one run (wall time and peak memory),
# medians, and the table rows with the ratios against arkova.
#
# The sourcing script sets these before calling the corpus functions:
#   disk_dir      where the corpora are cached (build/bench by default)
#   small_limit   files in the 'small' corpus (0 = all of /usr/include and /usr/share/doc)
#   binary_count  files in the 'binaries' corpus
#   big_mb        size of the 'repetitive' corpus in MiB

# Run on its own (scripts/arkova.sh bench runs every bench/*.sh), it has nothing to measure.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    echo "bench/lib.sh holds the helpers of the other benchmarks; nothing to run on its own"
    exit 0
fi

# require_tools TOOL...: stops with the packages to install when one is missing.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || {
            echo "missing: $tool (apt-get install zip unzip p7zip-full libarchive-tools time diffutils bc)" >&2; exit 2; }
    done
}

# require_cli PATH: the arkova-cli under test must exist.
require_cli() {
    [[ -x $1 ]] || { echo "missing: $1 (build it first, or set ARKOVA_CLI)" >&2; exit 2; }
}

# Folders listed in work_dirs are removed when the script exits, however it exits.
work_dirs=()
bench_cleanup() { local d; for d in "${work_dirs[@]}"; do rm -rf "$d"; done; }
trap bench_cleanup EXIT

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
    work_dirs+=("$folder")
    # A 4 KB block of C text repeated: deflate finds it again within its window, so it packs about 300 to 1.
    local block
    block=$(head -c 4096 /usr/include/stdio.h 2>/dev/null || head -c 4096 /etc/services)
    yes "$block" | head -c "$((big_mb * 1024 * 1024))" > "$folder/repetitive.log" || true
    (cd "$folder" && zip -6 -q "$zip" repetitive.log)
    rm -rf "$folder"
}

# corpus_file NAME: where the corpus is cached. The name carries the setting that shapes it, so a quick run and a
# full run (or two sizes) never reuse each other's archive.
corpus_file() {
    local dir=$disk_dir/corpora
    case $1 in
        small)      if [[ $small_limit -gt 0 ]]; then echo "$dir/small-$small_limit.zip"; else echo "$dir/small-all.zip"; fi ;;
        binaries)   echo "$dir/binaries-$binary_count.zip" ;;
        repetitive) echo "$dir/repetitive-${big_mb}m.zip" ;;
        *)          echo "$dir/$1.zip" ;;
    esac
}

# ensure_corpus NAME [BUILDER]: builds the corpus with BUILDER (make_NAME by default) unless it is cached at
# corpus_file NAME. The archive is written beside its final name and renamed only when complete, so an interrupted
# build is never taken for a finished one.
ensure_corpus() {
    local name=$1 builder=${2:-make_$1} zip
    zip=$(corpus_file "$name")
    if [[ ! -s $zip ]]; then
        echo "building corpus '$name' ..." >&2
        mkdir -p "$(dirname "$zip")"
        rm -f "$zip.part.zip"
        "$builder" "$zip.part.zip" >&2
        [[ -s $zip.part.zip ]] || { echo "building corpus '$name' failed" >&2; exit 1; }
        mv "$zip.part.zip" "$zip"
    fi
}

# --- measuring --------------------------------------------------------------------------------------------------

# run_timed OUT_FILE command... : wall microseconds and peak RSS (KiB) of one run, appended as "microseconds kib".
# The command's output goes to /dev/null, its errors to OUT_FILE.err; a failing command stops the benchmark.
run_timed() {
    local result=$1; shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -v -o "$result.time" "$@" > /dev/null 2> "$result.err" || {
        echo "FAILED: $*" >&2; cat "$result.err" >&2; exit 1; }
    end=$(date +%s%N)
    local rss
    rss=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$result.time")
    echo "$(( (end - start) / 1000 )) $rss" >> "$result"
}

# require_same_tree REFERENCE TREE DIFF_FILE WHAT...: stops the benchmark, naming WHAT and the first differences,
# when TREE is not byte for byte REFERENCE.
require_same_tree() {
    local reference=$1 tree=$2 diff_file=$3; shift 3
    if ! diff -r -q "$reference" "$tree" > "$diff_file" 2>&1; then
        echo "MISMATCH: $*" >&2; head "$diff_file" >&2; exit 1
    fi
}

# tree_size TREE: "FILES BYTES" of a tree, for the benchmarks' headings.
tree_size() { echo "$(find "$1" -type f | wc -l) $(du -sb "$1" | cut -f1)"; }

median() { sort -n | awk '{ a[NR] = $1 } END { if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# median_us RESULT_FILE / median_kib RESULT_FILE: the medians of the runs run_timed recorded.
median_us() { cut -d' ' -f1 "$1" | median; }
median_kib() { cut -d' ' -f2 "$1" | median; }

# --- printing ---------------------------------------------------------------------------------------------------

table_header() { printf '  %-8s %9s %11s %14s\n' tool "time (s)" "peak MiB" "vs arkova"; }

# table_row LABEL RESULT_FILE RATIO_TEXT: one tool's median time in seconds and median peak memory in MiB.
table_row() {
    local label=$1 result=$2 ratio=$3 us kib
    us=$(median_us "$result")
    kib=$(median_kib "$result")
    printf '  %-8s %9.3f %11.1f %14s\n' "$label" "$(echo "$us / 1000000" | bc -l)" "$(echo "$kib / 1024" | bc -l)" \
        "$ratio"
}

# slower_text PEER_US ARKOVA_US: how many times longer the peer took than arkova ("2.50x slower"; below 1 when the
# peer was faster).
slower_text() { printf '%.2fx slower' "$(echo "$1 / $2" | bc -l)"; }

# peer_text PEER_US ARKOVA_US: the peer's time against arkova's, said the way round that is above 1 ("2.50x slower",
# "1.10x faster").
peer_text() {
    if [[ $(echo "$1 >= $2" | bc) == 1 ]]; then
        printf '%.2fx slower' "$(echo "$1 / $2" | bc -l)"
    else
        printf '%.2fx faster' "$(echo "$2 / $1" | bc -l)"
    fi
}

# ratio_text TOP_US BOTTOM_US NAME: a plain ratio with its name ("arkova/cp 1.20x").
ratio_text() { printf '%s %.2fx' "$3" "$(echo "$1 / $2" | bc -l)"; }
