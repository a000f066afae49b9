#!/usr/bin/env bash
# The JPEG decoder's reduction while decoding, natively: 200 JPEGs of about 2 megapixels in a ZIP, decoded at full
# size, for a 128-pixel thumbnail and for a 400 x 300 preview pane, with the full-size time divided by each (see
# bench/image_decode.cpp). The archive lives on tmpfs when there is one.
#
# Usage: bench/image_decode.sh    Settings: RUNS (5), BENCH (default build/linux/bin/image-decode-bench)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=${BENCH:-$root/build/linux/bin/image-decode-bench}
[[ -x $bench ]] || { echo "missing: $bench (build the Linux tree first)" >&2; exit 2; }
base=/dev/shm
[[ -d $base && -w $base ]] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/arkova-image-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" "$work" "${RUNS:-5}"
