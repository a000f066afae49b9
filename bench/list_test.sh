#!/usr/bin/env bash
# Listing and testing speed of arkova-cli on ZIP archives against 7z, unzip and bsdtar, all measured in the same run
# on tmpfs (/dev/shm). Prints the median wall time of each tool, the peak memory (/usr/bin/time -v) and the ratios.
#
#   listing  a ZIP of ENTRIES tiny files (100,000 by default, a few bytes each, in folders of 1,000), zipped with
#            `zip -q -r`: `arkova-cli l` against `7z l`, `unzip -l` and `bsdtar -tf`, every output to /dev/null.
#   testing  the 'small' corpus of zip_extract.sh (/usr/include and /usr/share/doc, `zip -6`): `arkova-cli t -q`
#            against `7z t` and `unzip -tq`, which decompress every entry and check its CRC-32.
#
# Before timing, it checks that arkova lists exactly the names unzip lists, that `arkova-cli t` passes every file of
# the corpus with exit code 0, and that it fails on an archive with one damaged entry, so that the times compare
# tools doing the same work.
#
# Usage: bench/list_test.sh            full run (about 5 minutes on 2 cores, the first one builds the corpora)
#        QUICK=1 bench/list_test.sh    a short run on smaller corpora
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), RUNS (5; 3 with QUICK=1), ENTRIES (100000; 10000 with
#           QUICK=1), SMALL_FILES (0 = all; 3000 with QUICK=1), DISK_DIR (where corpora are cached, build/bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
quick=${QUICK:-0}
if [[ $quick == 1 ]]; then
    runs=${RUNS:-3}; entries=${ENTRIES:-10000}; small_limit=${SMALL_FILES:-3000}
else
    runs=${RUNS:-5}; entries=${ENTRIES:-100000}; small_limit=${SMALL_FILES:-0}
fi
disk_dir=${DISK_DIR:-$root/build/bench}

require_tools zip unzip 7z bsdtar /usr/bin/time bc
require_cli "$cli"

# --- corpora ----------------------------------------------------------------------------------------------------

# make_entries ZIP: $entries files of a few bytes (their own number), 1,000 to a folder, built on tmpfs and zipped
# without folder entries (-D), so the archive holds exactly $entries entries, all stored (too small to deflate).
make_entries() {
    local zip=$1 folder dir=d000 name i
    folder=$(mktemp -d /dev/shm/arkova-entries.XXXXXX)
    work_dirs+=("$folder")
    for ((i = 0; i < entries; i++)); do
        if ((i % 1000 == 0)); then
            printf -v dir 'd%03d' $((i / 1000))
            mkdir "$folder/$dir"
        fi
        printf -v name '%s/f%06d.txt' "$dir" "$i"
        printf '%d\n' "$i" > "$folder/$name"
    done
    (cd "$folder" && zip -q -r -D "$zip" d*)
    rm -rf "$folder"
}

mkdir -p "$disk_dir"
ensure_corpus "entries-$entries" make_entries
ensure_corpus small

base=/dev/shm/arkova-list-test-$$
rm -rf "$base"; mkdir -p "$base/results"; work_dirs+=("$base")
list_zip=$base/entries.zip
test_zip=$base/small.zip
cp "$(corpus_file "entries-$entries")" "$list_zip"
cp "$(corpus_file small)" "$test_zip"

# --- checks -----------------------------------------------------------------------------------------------------

# The names arkova lists (the last column of the rows between the two dashed rules) must be unzip's names.
"$cli" l "$list_zip" > "$base/arkova-list" || { echo "FAILED: $cli l $list_zip" >&2; exit 1; }
awk '/^-------/ { rule++; next } rule == 1 { print $NF }' "$base/arkova-list" | sort > "$base/arkova-names"
unzip -Z1 "$list_zip" | sort > "$base/unzip-names"
if ! cmp -s "$base/arkova-names" "$base/unzip-names"; then
    echo "MISMATCH: arkova's listing differs from unzip's:" >&2
    diff "$base/unzip-names" "$base/arkova-names" | head >&2; exit 1
fi
[[ $(wc -l < "$base/arkova-names") == "$entries" ]] || {
    echo "MISMATCH: $entries entries expected, arkova listed $(wc -l < "$base/arkova-names")" >&2; exit 1; }

# Testing the corpus passes every file (folder entries carry no data) and exits with 0.
test_files=$(unzip -Z1 "$test_zip" | grep -vc '/$')
status=0
"$cli" t -q "$test_zip" > "$base/arkova-test" 2>&1 || status=$?
if [[ $status != 0 ]] || ! grep -q "All $test_files file(s) passed" "$base/arkova-test"; then
    echo "FAILED: $cli t -q $test_zip exited with $status; $test_files files expected to pass:" >&2
    grep -v '^OK ' "$base/arkova-test" | head -20 >&2; exit 1
fi

# One byte of a stored entry changed: testing must fail, or the times below would not measure the CRC checks.
mkdir -p "$base/damaged"
printf 'the quick brown fox jumps over the lazy dog\n' > "$base/damaged/fox.txt"
printf 'unchanged\n' > "$base/damaged/other.txt"
(cd "$base/damaged" && zip -q -0 "$base/damaged.zip" fox.txt other.txt)
offset=$(grep -obUa 'quick brown' "$base/damaged.zip" | head -n 1 | cut -d: -f1)
printf 'Q' | dd of="$base/damaged.zip" bs=1 seek="$offset" conv=notrunc status=none
if "$cli" t -q "$base/damaged.zip" > "$base/damaged.out" 2>&1; then
    echo "FAILED: $cli t -q passes an archive whose entry fox.txt has a wrong CRC:" >&2
    cat "$base/damaged.out" >&2; exit 1
fi

# --- measuring --------------------------------------------------------------------------------------------------

list_tools=(arkova 7z unzip bsdtar)
test_tools=(arkova 7z unzip)
results=$base/results
for ((run = 1; run <= runs; run++)); do
    for tool in "${list_tools[@]}"; do
        case $tool in
            arkova) run_timed "$results/l-$tool" "$cli" l "$list_zip" ;;
            7z)     run_timed "$results/l-$tool" 7z l "$list_zip" ;;
            unzip)  run_timed "$results/l-$tool" unzip -l "$list_zip" ;;
            bsdtar) run_timed "$results/l-$tool" bsdtar -tf "$list_zip" ;;
        esac
    done
    for tool in "${test_tools[@]}"; do
        case $tool in
            arkova) run_timed "$results/t-$tool" "$cli" t -q "$test_zip" ;;
            7z)     run_timed "$results/t-$tool" 7z t -bd "$test_zip" ;;
            unzip)  run_timed "$results/t-$tool" unzip -tq "$test_zip" ;;
        esac
    done
done

# --- printing ---------------------------------------------------------------------------------------------------

# print_table PREFIX TOOL...: one row per tool, the peers with their time against arkova's.
print_table() {
    local prefix=$1 tool arkova_us; shift
    arkova_us=$(median_us "$results/$prefix-arkova")
    table_header
    for tool in "$@"; do
        if [[ $tool == arkova ]]; then
            table_row "$tool" "$results/$prefix-$tool" "-"
        else
            table_row "$tool" "$results/$prefix-$tool" "$(peer_text "$(median_us "$results/$prefix-$tool")" "$arkova_us")"
        fi
    done
}

# unzip -Zt: "N files, X bytes uncompressed, Y bytes compressed: Z%"
sizes() { unzip -Zt "$1" | awk '{ printf "%.1f MB unpacked, %.1f MB packed", $3 / 1000000, $6 / 1000000 }'; }

echo "arkova-cli: $cli; $(nproc) processors; $runs runs per tool; on /dev/shm"

printf '\nlisting %d entries (%s): arkova-cli l, 7z l, unzip -l, bsdtar -tf, median of %d runs (names identical to unzip'"'"'s: yes)\n' \
    "$entries" "$(sizes "$list_zip")" "$runs"
print_table l "${list_tools[@]}"
arkova_us=$(median_us "$results/l-arkova")
printf '  arkova: %.3f s for %d entries, %.2f us per entry\n' \
    "$(echo "$arkova_us / 1000000" | bc -l)" "$entries" "$(echo "$arkova_us / $entries" | bc -l)"

printf '\ntesting small (%d files, %s): arkova-cli t -q, 7z t, unzip -tq, median of %d runs (arkova: all passed, exit code 0; damaged entry caught: yes)\n' \
    "$test_files" "$(sizes "$test_zip")" "$runs"
print_table t "${test_tools[@]}"
