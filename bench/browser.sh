#!/usr/bin/env bash
# The main window's browser on big archives, under Wine: bin/browser-bench.exe of the Windows build writes ZIP
# archives of 1,000, 10,000 and 100,000 entries and an ALZ of 10,000 (all but 1,000 of them in the root folder),
# opens each in a real main window and prints the times from OpenArchiveFile to the filled list, a folder switch,
# sorts by name and size, a search filter, and the browser model's bytes per entry; then it shows a ZIP of 200
# JPEGs of about 2 megapixels in the large-icon view and prints the time to the last thumbnail. The same archives
# are then listed natively by `arkova-cli l`, and the open time is given as a ratio to that listing. Targets on
# 2 cores: 100,000 entries open in under 1.5 s; folder switch, sort and search under 100 ms; the model under 200
# bytes per entry.
#
# Settings: ARKOVA_CLI (default build/linux/bin/arkova-cli), RUNS (3) for the arkova-cli medians.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
cli=${ARKOVA_CLI:-$root/build/linux/bin/arkova-cli}
bench=$root/build/windows/bin/browser-bench.exe
runs=${RUNS:-3}
require_cli "$cli"
[[ -f $bench ]] || { echo "missing: $bench (scripts/arkova.sh build)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/arkova-browser-bench.XXXXXX")
work_dirs+=("$work")
echo "== the browser under Wine (times inside the program)"
"$root/scripts/wine-run.sh" "$bench" "Z:${work//\//\\}" </dev/null >"$work/browser.txt" 2>"$work/wine.log" || {
    cat "$work/wine.log" >&2
    exit 1
}
cat "$work/browser.txt"

echo "== arkova-cli l on the same archives (native, median of $runs)"
while read -r format entries _ open _; do
    archive=$work/browser-$entries.$format
    [[ -f $archive ]] || continue
    for ((i = 0; i < runs; ++i)); do
        run_timed "$work/cli-$format-$entries" "$cli" l "$archive"
    done
    cli_ms=$(echo "$(median_us "$work/cli-$format-$entries") / 1000" | bc -l)
    printf '  %-4s %7d entries: arkova-cli l %7.1f ms; the window opens it in %7.1f ms (%.2fx the listing)\n' \
        "$format" "$entries" "$cli_ms" "$open" "$(echo "$open / $cli_ms" | bc -l)"
done <"$work/browser.txt"
