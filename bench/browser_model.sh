#!/usr/bin/env bash
# The archive browser's model on 1,000, 10,000 and 100,000 synthetic entries: opening (the tree), a folder switch,
# a sort by name and by size, a search, and the memory per entry (see bench/browser_model.cpp).
#
# Usage: bench/browser_model.sh    Settings: RUNS (5), BENCH (default build/linux/bin/browser-model-bench)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=${BENCH:-$root/build/linux/bin/browser-model-bench}
[[ -x $bench ]] || { echo "missing: $bench (build the Linux tree first)" >&2; exit 2; }
"$bench" "${RUNS:-5}"
