#!/usr/bin/env bash
# The one driver for building, testing, demonstrating and benchmarking Arkova.
#
#   scripts/arkova.sh demo     set up, build, and run arkova-cli on a sample archive
#   scripts/arkova.sh test     set up, build every tree, run every suite (what CI runs)
#   scripts/arkova.sh build    set up and build the Linux and Windows trees
#   scripts/arkova.sh package  build arkova.exe and make dist/arkova-<version>-win64.zip and -setup.exe
#   scripts/arkova.sh wintest  build the Windows tree and run only the window tests (96 and 192 DPI)
#   scripts/arkova.sh fuzz [SECONDS]   run the fuzz targets (default 60 s each)
#   scripts/arkova.sh bench [ARGS]     run the benchmarks (bench/*.sh)
#
# Build trees live in build/: linux, windows (MinGW-w64, tested under Wine), asan (Address and
# UndefinedBehaviorSanitizer), tsan (ThreadSanitizer) and fuzz (clang-14 libFuzzer).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
JOBS=${ARKOVA_JOBS:-$(nproc)}
FUZZ_SECONDS_DEFAULT=60

say() { printf '\n== %s ==\n' "$*"; }

setup() { bash "$ROOT/scripts/setup.sh"; }

# configure TREE [cmake args...]: configures once; later runs only rebuild.
configure() {
    local tree=$1
    shift
    if [[ ! -f $BUILD/$tree/build.ninja ]]; then
        cmake -S "$ROOT" -B "$BUILD/$tree" -G Ninja "$@" >"$BUILD/$tree.configure.log" 2>&1 ||
            { cat "$BUILD/$tree.configure.log"; return 1; }
    fi
}

build_tree() {
    local tree=$1
    shift
    mkdir -p "$BUILD"
    configure "$tree" "$@"
    say "building $tree"
    ninja -C "$BUILD/$tree" -j "$JOBS"
}

build_linux() { build_tree linux -DCMAKE_BUILD_TYPE=RelWithDebInfo; }
WINDOWS_CMAKE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake")
build_windows() { build_tree windows "${WINDOWS_CMAKE_ARGS[@]}"; }
# The release needs only the program; the 7-Zip library and the images beside it come with it.
build_release() {
    mkdir -p "$BUILD"
    configure windows "${WINDOWS_CMAKE_ARGS[@]}"
    say "building arkova.exe"
    ninja -C "$BUILD/windows" -j "$JOBS" arkova
}
build_asan() { build_tree asan -DCMAKE_BUILD_TYPE=Debug -DARKOVA_SANITIZE=address,undefined; }
build_tsan() { build_tree tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARKOVA_SANITIZE=thread; }
build_fuzz() {
    build_tree fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
        -DARKOVA_BUILD_TESTS=OFF -DARKOVA_BUILD_FUZZERS=ON -DARKOVA_SANITIZE=address,undefined,fuzzer-no-link
}

# The Windows tests run under Wine: in a prefix of the build tree prepared for Korean text, with a display of
# their own (Xvfb) exported to every Wine call, and one wineserver kept alive for the whole run (without it every
# test program pays Wine's start-up again). The window tests run a second time in a copy of the prefix at 192 DPI.
WINE_ENV=(WINEDEBUG=-all LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8 "WINEDLLOVERRIDES=mscoree,mshtml=;winedbg.exe=d")
WINE_PREFIX_96=$BUILD/windows/wineprefix
WINE_PREFIX_192=$BUILD/windows/wineprefix-192dpi
# Written into each prepared prefix; a prefix prepared by an older version of these steps is made again.
WINE_PREFIX_VERSION=korean-fonts-dpi-1
XVFB_PID=

start_display() {
    [[ -n $XVFB_PID ]] && return 0
    local number=$BUILD/xvfb.display
    : >"$number"
    # Xvfb picks a free display and writes its number once it accepts connections.
    Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp 3>"$number" </dev/null >"$BUILD/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local tries=0
    while [[ ! -s $number ]] && ((tries++ < 100)); do sleep 0.1; done
    [[ -s $number ]] || { cat "$BUILD/xvfb.log"; echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(tr -d '[:space:]' <"$number")
}
stop_display() {
    [[ -n $XVFB_PID ]] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
}

# import_reg FILE: regedit reads UTF-16LE with a BOM and CRLF lines; the checked-in files are UTF-8.
import_reg() {
    local converted=$WINEPREFIX/$(basename "$1" .reg).utf16.reg
    { printf '\xff\xfe'; sed 's/$/\r/' "$1" | iconv -f UTF-8 -t UTF-16LE; } >"$converted"
    wine regedit /S "Z:${converted//\//\\}" </dev/null >/dev/null 2>&1
    wineserver -w
}

# prepare_prefix PREFIX: made once (about 12 s); the 192-DPI prefix is a copy of the 96-DPI one (2 s).
prepare_prefix() {
    local prefix=$1
    [[ -f $prefix/.arkova-ready && $(<"$prefix/.arkova-ready") == "$WINE_PREFIX_VERSION" ]] && return 0
    say "preparing the Wine prefix $(basename "$prefix")"
    rm -rf "$prefix"
    if [[ $prefix == "$WINE_PREFIX_192" ]]; then
        prepare_prefix "$WINE_PREFIX_96"
        cp -a "$WINE_PREFIX_96" "$prefix"
        WINEPREFIX=$prefix import_reg "$ROOT/scripts/wine-192dpi.reg"
    else
        WINEPREFIX=$prefix WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
        WINEPREFIX=$prefix wineserver -w
        WINEPREFIX=$prefix import_reg "$ROOT/scripts/wine-korean.reg"
        # Wine draws caption buttons and check marks with this font.
        cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    fi
    echo "$WINE_PREFIX_VERSION" >"$prefix/.arkova-ready"
}

# start_wine [PREFIX]: the display, the prefix, and its wineserver for the run.
start_wine() {
    export "${WINE_ENV[@]}"
    start_display
    prepare_prefix "${1:-$WINE_PREFIX_96}"
    export WINEPREFIX=${1:-$WINE_PREFIX_96}
    # The first Wine process must not hold CTest's (or the caller's) pipes open.
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
stop_wine() {
    if [[ -n ${WINEPREFIX:-} ]]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
}
stop_all_wine() {
    stop_wine
    stop_display
}

# The window tests (label "windows") in the 192-DPI prefix; their screenshots go to screenshots/192dpi/.
run_window_tests_192dpi() {
    stop_wine
    start_wine "$WINE_PREFIX_192"
    say "window tests at 192 DPI"
    ctest --test-dir "$BUILD/windows" --output-on-failure -j 1 -L windows
}

run_ctest() {
    local tree=$1
    shift
    say "testing $tree"
    ctest --test-dir "$BUILD/$tree" --output-on-failure -j "$JOBS" "$@"
}

run_fuzzers() {
    local seconds=${1:-$FUZZ_SECONDS_DEFAULT}
    local failed=0
    for fuzzer in "$BUILD"/fuzz/bin/*_fuzzer; do
        local name corpus
        name=$(basename "$fuzzer")
        corpus=$BUILD/fuzz/corpus/$name
        mkdir -p "$corpus"
        say "fuzzing $name for $seconds s"
        # The seed corpus is written by the build (from the fixture writers); new finds go into the scratch copy.
        "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "$BUILD/fuzz/seeds/$name" \
            >"$BUILD/fuzz/$name.log" 2>&1 || failed=1
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|ERROR|SUMMARY' "$BUILD/fuzz/$name.log" || true
    done
    return $failed
}

make_release() { bash "$ROOT/scripts/package.sh" "$BUILD/windows" "$ROOT/dist"; }

# The release made from the built Windows tree, then installed, started and removed again in a fresh prefix of
# its own, on the run's display.
run_release_test() {
    say "the Windows release: install, start, uninstall"
    make_release || return 1
    start_display
    bash "$ROOT/scripts/install-test.sh" "$BUILD/windows" "$ROOT/dist"
}

cmd_build() {
    setup
    build_linux
    build_windows
}

cmd_demo() {
    setup
    build_linux
    local cli=$BUILD/linux/bin/arkova-cli
    local work=$BUILD/demo
    rm -rf "$work"
    mkdir -p "$work"
    "$BUILD/linux/bin/make-sample-alz" "$work/sample.alz"
    say "arkova-cli l sample.alz"
    "$cli" l "$work/sample.alz"
    say "arkova-cli t sample.alz"
    "$cli" t "$work/sample.alz"
    say "arkova-cli x sample.alz -o extracted"
    "$cli" x "$work/sample.alz" -o "$work/extracted"
    find "$work/extracted" | sort
    build_windows
    demo_window "$work"
}

# demo_window WORK: arkova.exe under Wine on the sample, on the user's display when DISPLAY is set (it stays open
# there), else on a display of our own; a screenshot of its main window goes to WORK/arkova.png.
demo_window() {
    local work=$1
    local sample="Z:${work//\//\\}\\sample.alz" shot="Z:${work//\//\\}\\arkova.png"
    local own_display=1 close=(--close)
    if [[ -n ${DISPLAY:-} ]]; then
        own_display=0
        close=()
        export "${WINE_ENV[@]}"
        prepare_prefix "$WINE_PREFIX_96"
        export WINEPREFIX=$WINE_PREFIX_96
    else
        start_wine
    fi
    say "arkova.exe sample.alz (under Wine)"
    wine "$BUILD/windows/bin/arkova.exe" "$sample" </dev/null >"$work/arkova.log" 2>&1 &
    local program=$!
    if wine "$BUILD/windows/bin/window-screenshot.exe" ArkovaMainWindow "Arkova - " "$shot" "${close[@]}" \
        </dev/null >"$work/screenshot.log" 2>&1; then
        say "the main window with the sample open: ${work#"$ROOT"/}/arkova.png"
    else
        say "no screenshot of the main window (see ${work#"$ROOT"/}/screenshot.log)"
    fi
    if ((own_display)); then
        wait "$program" || true
        stop_all_wine
    fi
}

cmd_test() {
    setup
    build_linux
    build_windows
    build_asan
    build_tsan
    build_fuzz
    local failed=0
    run_ctest linux || failed=1
    run_ctest asan || failed=1
    run_ctest tsan -L threads || failed=1
    start_wine
    trap stop_all_wine EXIT
    run_ctest windows -j 1 || failed=1
    run_window_tests_192dpi || failed=1
    stop_wine
    run_release_test || failed=1
    stop_all_wine
    run_fuzzers "${ARKOVA_FUZZ_SECONDS:-$FUZZ_SECONDS_DEFAULT}" || failed=1
    if [[ $failed -ne 0 ]]; then
        say "FAILED"
        return 1
    fi
    say "all suites passed"
}

cmd_wintest() {
    setup
    build_windows
    local failed=0
    start_wine
    trap stop_all_wine EXIT
    run_ctest windows -j 1 -L windows || failed=1
    run_window_tests_192dpi || failed=1
    stop_all_wine
    return $failed
}

cmd_package() {
    setup
    build_release
    make_release
}

cmd_fuzz() {
    build_fuzz
    run_fuzzers "${1:-$FUZZ_SECONDS_DEFAULT}"
}

cmd_bench() {
    setup
    build_linux
    build_windows
    # The browser benchmark runs the window program under Wine, on a display of its own.
    trap stop_all_wine EXIT
    start_wine
    for script in "$ROOT"/bench/*.sh; do
        [[ $script == */lib.sh ]] && continue  # the scripts' shared helpers
        say "$(basename "$script")"
        bash "$script" "$@"
    done
}

case ${1:-} in
    demo | test | wintest | build | package | fuzz | bench)
        command=$1
        shift
        "cmd_$command" "$@"
        ;;
    *)
        sed -n '2,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
