#!/usr/bin/env bash
# The parallel pipeline on every source, in one run on tmpfs (/dev/shm), for two corpora: small files (/usr/include
# and /usr/share/doc) and large binaries, each packed as ZIP (zip -6), and as ALZ and EGG (deflate) by our writers.
#   extraction: arkova-cli x of ZIP, ALZ and EGG against unalz (ALZ) and 7z x (the same tree as ZIP);
#   test:       arkova-cli t of ZIP, ALZ and EGG against 7z t and unzip -t (ZIP);
#   the limit:  max(cp -r of the tree, (decode CPU + cp's CPU) / cores), the decode CPU taken from arkova-cli t;
# with median wall times, ratios and peak memory (/usr/bin/time -v). Every arkova tree is compared with the source.
#
# Usage: bench/pipeline.sh            about 3000 small files and 4 binaries
#        FULL=1 bench/pipeline.sh     the whole small-files corpus
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), PACKER (default build/linux/bin/make-bench-archive),
#           RUNS (3), SMALL_FILES, BINARIES (4), DISK_DIR (default build/bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
packer=${PACKER:-$root/build/linux/bin/make-bench-archive}
runs=${RUNS:-3}
if [[ ${FULL:-0} == 1 ]]; then small_limit=${SMALL_FILES:-0}; else small_limit=${SMALL_FILES:-3000}; fi
binary_count=${BINARIES:-4}
disk_dir=${DISK_DIR:-$root/build/bench}
cores=$(nproc)

require_tools 7z unzip zip unalz /usr/bin/time diff bc
require_cli "$cli"
[[ -x $packer ]] || { echo "missing: $packer (cmake --build build/linux --target make-bench-archive)" >&2; exit 2; }

# build_corpus NAME: the tree and its three archives, cached by the settings that shape them.
build_corpus() {
    local name=$1 dir
    dir=$disk_dir/corpora/pipeline-$name-$small_limit-$binary_count
    if [[ ! -s $dir/a.egg ]]; then
        echo "building the $name corpus ($dir) ..." >&2
        rm -rf "$dir"; mkdir -p "$dir/tree"
        if [[ $name == small ]]; then
            local limit=$small_limit
            [[ $limit -gt 0 ]] || limit=100000000
            (cd /usr && find include share/doc -type f | sort | head -n "$limit" |
                xargs -d "\n" cp -p --parents -t "$dir/tree") || true
        else
            find /usr -xdev -type f -size +20M -size -200M 2>/dev/null | sort | head -n "$binary_count" |
                xargs -d "\n" cp -p -t "$dir/tree"
        fi
        (cd "$dir/tree" && zip -6 -q -r "$dir/a.zip" .)
        "$packer" alz "$dir/tree" "$dir/a.alz" deflate
        "$packer" egg "$dir/tree" "$dir/a.egg" deflate
    fi
    echo "$dir"
}

# cpu_us RESULT_FILE: the median user + system time (microseconds) of the runs recorded with run_cpu.
cpu_us() { median < "$1.cpu"; }
# run_cpu RESULT command...: run_timed, and the run's CPU time kept beside it.
run_cpu() {
    local result=$1
    run_timed "$@"
    awk -F: '/User time|System time/ {s += $2} END {printf "%d\n", s * 1000000}' "$result.time" >> "$result.cpu"
}

bench_corpus() {
    local name=$1 dir base results
    dir=$(build_corpus "$name")
    base=/dev/shm/arkova-pipeline-$name-$$
    rm -rf "$base"; mkdir -p "$base/results"; work_dirs+=("$base")
    cp "$dir"/a.* "$base/"
    cp -r "$dir/tree" "$base/reference"
    results=$base/results
    local tools=(x-zip x-alz x-egg unalz 7z-x cp t-zip t-alz t-egg 7z-t unzip-t) order tool
    for ((run = 1; run <= runs; run++)); do
        # A new order every round, the same for the same round in every run of the script: in a fixed cycle each
        # tool follows the same one in every round, and whatever state that one leaves the machine in falls on the
        # same tool each time.
        mapfile -t order < <(printf '%s\n' "${tools[@]}" |
            awk -v seed="$run" 'BEGIN { srand(seed) } { printf "%.9f %s\n", rand(), $0 }' | sort -n | cut -d' ' -f2)
        for tool in "${order[@]}"; do
            local out=$base/out-$tool
            rm -rf "$out"; mkdir -p "$out"
            case $tool in
                x-*)     run_cpu "$results/$tool" "$cli" x -q -y -o "$out" "$base/a.${tool#x-}" ;;
                t-*)     run_cpu "$results/$tool" "$cli" t -q "$base/a.${tool#t-}" ;;
                unalz)   run_cpu "$results/$tool" unalz -d "$out" "$base/a.alz" ;;
                7z-x)    run_cpu "$results/$tool" 7z x -y -bd -bso0 "-o$out" "$base/a.zip" ;;
                7z-t)    run_cpu "$results/$tool" 7z t -bd -bso0 "$base/a.zip" ;;
                unzip-t) run_cpu "$results/$tool" unzip -tqq "$base/a.zip" ;;
                cp)      rmdir "$out"; run_cpu "$results/$tool" cp -r "$base/reference" "$out" ;;
            esac
            if [[ $tool == x-* && $run == 1 ]]; then
                require_same_tree "$base/reference" "$out" "$results/diff" \
                    "arkova's tree from the ${tool#x-} archive differs from the source:"
            fi
            rm -rf "$out"
        done
    done

    local files bytes
    read -r files bytes < <(tree_size "$base/reference")
    printf '\n%s on shm: %d files, %d MB; packed: zip %d MB, alz %d MB, egg %d MB; median of %d runs, %d cores\n' \
        "$name" "$files" "$((bytes / 1000000))" "$(($(stat -c %s "$base/a.zip") / 1000000))" \
        "$(($(stat -c %s "$base/a.alz") / 1000000))" "$(($(stat -c %s "$base/a.egg") / 1000000))" "$runs" "$cores"
    local x_zip x_alz x_egg t_zip t_alz t_egg cp_us limit
    x_zip=$(median_us "$results/x-zip"); x_alz=$(median_us "$results/x-alz"); x_egg=$(median_us "$results/x-egg")
    t_zip=$(median_us "$results/t-zip"); t_alz=$(median_us "$results/t-alz"); t_egg=$(median_us "$results/t-egg")
    cp_us=$(median_us "$results/cp")
    # The limit: writing the tree, or decoding it plus cp's own work spread over every core, whichever is longer.
    limit=$(echo "a = $cp_us; b = ($(cpu_us "$results/t-zip") + $(cpu_us "$results/cp")) / $cores; if (a > b) a else b" | bc)
    table_header
    table_row "x zip" "$results/x-zip" "$(ratio_text "$x_zip" "$limit" zip/limit)"
    table_row "x alz" "$results/x-alz" "$(ratio_text "$x_alz" "$limit" alz/limit)"
    table_row "x egg" "$results/x-egg" "$(ratio_text "$x_egg" "$limit" egg/limit)"
    table_row "unalz" "$results/unalz" "$(peer_text "$(median_us "$results/unalz")" "$x_alz") (vs alz)"
    table_row "7z x" "$results/7z-x" "$(peer_text "$(median_us "$results/7z-x")" "$x_zip") (vs zip)"
    table_row "cp -r" "$results/cp" "-"
    table_row "t zip" "$results/t-zip" "-"
    table_row "t alz" "$results/t-alz" "-"
    table_row "t egg" "$results/t-egg" "-"
    table_row "7z t" "$results/7z-t" "$(peer_text "$(median_us "$results/7z-t")" "$t_zip") (vs t zip)"
    table_row "unzip -t" "$results/unzip-t" "$(peer_text "$(median_us "$results/unzip-t")" "$t_zip") (vs t zip)"
    printf '  limit %.3f s; 7z t vs t alz: %s, vs t egg: %s\n' "$(echo "$limit / 1000000" | bc -l)" \
        "$(peer_text "$(median_us "$results/7z-t")" "$t_alz")" "$(peer_text "$(median_us "$results/7z-t")" "$t_egg")"
}

bench_corpus small
bench_corpus binaries
