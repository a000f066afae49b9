#!/usr/bin/env bash
# The release as a user meets it: installs dist/arkova-<version>-setup.exe silently into a fresh Wine prefix,
# checks the installed files (exactly those of the portable zip, plus the uninstaller), the Start-menu shortcut, the
# file associations and the entry in the installed programs, opens a sample archive with the installed arkova.exe
# and closes its window, then uninstalls silently and checks that nothing of ours is left: no file, folder,
# shortcut or registry key.
#
# Usage: scripts/install-test.sh [BUILD_DIR [DIST_DIR]]   (default: build/windows and dist)
# Needs DISPLAY (scripts/arkova.sh test gives it a display of its own) and the Windows tree's make-sample-alz.exe
# and window-screenshot.exe. The prefix is deleted at the end; logs and the screenshot stay in BUILD_DIR/install-test.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-$ROOT/build/windows}
DIST=${2:-$ROOT/dist}
WORK=$BUILD/install-test
VERSION=$(sed -n 's/^project(Arkova VERSION \([0-9][0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
SETUP=$DIST/arkova-$VERSION-setup.exe
ZIP=$DIST/arkova-$VERSION-win64.zip
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Arkova'
FAILURES=0

# winemenubuilder would turn the Start-menu shortcut into a menu entry in this machine's own desktop.
export WINEDEBUG=-all LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

say() { printf '\n== %s ==\n' "$*"; }
fail() {
    printf 'install test: FAILED: %s\n' "$*" >&2
    FAILURES=$((FAILURES + 1))
}
die() {
    fail "$*"
    exit 1
}
expect_equal() {  # what actual expected
    [[ $2 == "$3" ]] || fail "$1 is [$2], expected [$3]"
}

# win_path LINUX_PATH: the path as Wine's programs see it (drive Z: is the Linux root).
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# wine_run LOG PROGRAM ARGS...: never with pipes attached, which a lingering wineserver would hold open. A program
# that waits for an answer nobody gives (a message box of a silent run) fails after 120 s instead of hanging.
wine_run() {
    local log=$1
    shift
    timeout 120 wine "$@" </dev/null >>"$WORK/$log" 2>&1
}

# Every process of the prefix has ended and the registry is written to user.reg (bounded: a hung program fails).
wait_for_prefix() { timeout 120 wineserver -w || die "programs of the prefix still run after 120 s"; }

stop_prefix() {
    if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
}

# import_reg: the .reg text on standard input (UTF-8) into the prefix; regedit reads UTF-16LE with CRLF lines.
import_reg() {
    local reg=$WORK/import.reg
    { printf '\xff\xfe'; sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
    wine_run wine.log regedit /S "$(win_path "$reg")"
    rm -f "$reg"
}

# A fresh prefix with the Korean fonts that the window tests use, so that the screenshot is readable.
make_prefix() {
    export WINEPREFIX
    WINEPREFIX=$(mktemp -d "$WORK/prefix.XXXXXX")
    trap stop_prefix EXIT
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mscoree,mshtml=" wine_run wine.log wineboot -i
    wait_for_prefix
    import_reg <"$ROOT/scripts/wine-korean.reg"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wait_for_prefix
    local users=("$WINEPREFIX"/drive_c/users/*/AppData/Local)
    [[ -d ${users[0]} ]] || die "the prefix has no user profile"
    PROFILE=${users[0]%/AppData/Local}
    INSTALL_DIR=$PROFILE/AppData/Local/Programs/Arkova
    INSTALL_WIN="C:\\users\\$(basename "$PROFILE")\\AppData\\Local\\Programs\\Arkova"
    SHORTCUT="$PROFILE/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Arkova.lnk"
}

# ------------------------------------------------------------------------------------------- the registry --

# reg_value FILE KEY NAME: the value as Wine keeps it in its registry file ("@" names the default value), strings
# unescaped and \xNNNN turned into UTF-8; "<missing>" when the key or the value is missing. Key names are compared
# without regard to case, as the registry does.
reg_value() {
    # Through the environment: awk would read the backslashes of -v assignments as escapes.
    local key=${2//\\/\\\\}
    REG_KEY="[${key,,}]" REG_NAME=$3 LC_ALL=C awk '
        function utf8(c) {
            if (c < 128) return sprintf("%c", c)
            if (c < 2048) return sprintf("%c%c", 192 + int(c / 64), 128 + c % 64)
            return sprintf("%c%c%c", 224 + int(c / 4096), 128 + int(c / 64) % 64, 128 + c % 64)
        }
        function hex(text,   i, n) {
            n = 0
            for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(tolower(text), i, 1)) - 1
            return n
        }
        function unescape(text,   out, i, c, digits) {
            out = ""
            for (i = 1; i <= length(text); i++) {
                c = substr(text, i, 1)
                if (c != "\\") { out = out c; continue }
                c = substr(text, ++i, 1)
                if (c == "x") {
                    digits = ""
                    while (length(digits) < 4 && substr(text, i + 1, 1) ~ /[0-9a-fA-F]/) digits = digits substr(text, ++i, 1)
                    out = out utf8(hex(digits))
                } else out = out c
            }
            return out
        }
        BEGIN { key = ENVIRON["REG_KEY"]; name = ENVIRON["REG_NAME"] }
        /^\[/ { inside = index(tolower($0), key " ") == 1 || tolower($0) == key; next }
        inside {
            want = name == "@" ? "@=" : "\"" name "\"="
            if (index($0, want) != 1) next
            value = substr($0, length(want) + 1)
            if (value ~ /^".*"$/) value = unescape(substr(value, 2, length(value) - 2))
            print value
            found = 1
            exit
        }
        END { if (!found) print "<missing>" }' "$1"
}

user_value() { reg_value "$WINEPREFIX/user.reg" "$1" "$2"; }

# The names of every key in the prefix's registry files, for the before-and-after comparison.
registry_keys() { sed -n 's/^\[\(.*\)\] [0-9]*$/\1/p' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" | sort; }

# The prefix's files and folders outside Windows' own folder. The temporary folders are left out: the uninstaller
# runs from a copy there, which no program can delete while it runs (Windows clears the folder itself).
profile_tree() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune \
        -o -path './users/*/AppData/Local/Temp' -prune -o -print) | sort
}

# compare_lists WHAT BEFORE AFTER [ALLOWED]: fails on every line lost or gained, except gained lines that match the
# extended regular expression ALLOWED: containers that Windows itself always has and a fresh Wine prefix lacks.
compare_lists() {
    local what=$1 changes
    changes=$(diff <(echo "$2") <(echo "$3") | grep '^[<>]' || true)
    [[ -n ${4:-} ]] && changes=$(grep -vE "^> ($4)\$" <<<"$changes" || true)
    [[ -z $changes ]] || fail "$what differ from before the installation: $(head -10 <<<"$changes" | tr '\n' ' ')"
}

# ------------------------------------------------------------------------------------------------ checks --

check_files() {
    local expected actual
    expected=$( (unzip -Z1 "$ZIP" | grep -v '/$' | sed 's#^Arkova/##'; echo uninstall.exe) | sort)
    actual=$(cd "$INSTALL_DIR" && find . -type f | sed 's#^\./##' | sort)
    [[ $actual == "$expected" ]] ||
        fail "installed files differ from the zip's: $(diff <(echo "$expected") <(echo "$actual") | tr '\n' ' ')"
    cmp -s "$INSTALL_DIR/arkova.exe" <(unzip -p "$ZIP" Arkova/arkova.exe) || fail "arkova.exe differs from the zip's"
}

check_shortcut() {
    [[ -f $SHORTCUT ]] || { fail "no Start-menu shortcut at ${SHORTCUT#"$WINEPREFIX"/}"; return 0; }
    # A shell link keeps its target as UTF-16 text.
    strings -e l "$SHORTCUT" | grep -qiF "$INSTALL_WIN\\arkova.exe" || fail "the shortcut does not start arkova.exe"
}

check_associations() {
    local exe="$INSTALL_WIN\\arkova.exe" extension
    expect_equal "the ProgID" "$(user_value 'Software\Classes\Arkova.Archive' @)" "Arkova Archive"
    expect_equal "the open command" "$(user_value 'Software\Classes\Arkova.Archive\shell\open\command' @)" \
        "\"$exe\" \"%1\""
    expect_equal "the icon" "$(user_value 'Software\Classes\Arkova.Archive\DefaultIcon' @)" "$exe,0"
    for extension in .zip .7z .rar .tar .gz .bz2 .xz .alz .egg .cab .iso .wim; do
        # An empty string value without data (zero bytes), as Wine writes it.
        expect_equal "the open-with entry of $extension" \
            "$(user_value "Software\\Classes\\$extension\\OpenWithProgids" Arkova.Archive)" "hex(1):"
    done
}

check_uninstall_entry() {
    expect_equal DisplayName "$(user_value "$UNINSTALL_KEY" DisplayName)" "아르코반 Arkova"
    expect_equal DisplayVersion "$(user_value "$UNINSTALL_KEY" DisplayVersion)" "$VERSION"
    expect_equal UninstallString "$(user_value "$UNINSTALL_KEY" UninstallString)" "\"$INSTALL_WIN\\uninstall.exe\""
    expect_equal QuietUninstallString "$(user_value "$UNINSTALL_KEY" QuietUninstallString)" \
        "\"$INSTALL_WIN\\uninstall.exe\" /S"
    expect_equal InstallLocation "$(user_value "$UNINSTALL_KEY" InstallLocation)" "$INSTALL_WIN"
    expect_equal DisplayIcon "$(user_value "$UNINSTALL_KEY" DisplayIcon)" "$INSTALL_WIN\\arkova.exe,0"
    expect_equal NoModify "$(user_value "$UNINSTALL_KEY" NoModify)" "dword:00000001"
    expect_equal NoRepair "$(user_value "$UNINSTALL_KEY" NoRepair)" "dword:00000001"
    # Kilobytes, as Windows lists them; within a tenth of what the folder holds.
    local size want got=0
    size=$(user_value "$UNINSTALL_KEY" EstimatedSize)
    want=$(du -s --apparent-size -k "$INSTALL_DIR" | cut -f1)
    if [[ $size == dword:* ]]; then got=$((16#${size#dword:})); fi
    ((got > want * 9 / 10 && got < want * 11 / 10)) || fail "EstimatedSize is $got KB, the folder holds $want KB"
}

# The context-menu verbs of two types, as the options page writes them, which the uninstaller is to remove too.
add_context_menu() {
    local extension verb command=${INSTALL_WIN//\\/\\\\}\\\\arkova.exe
    {
        echo 'Windows Registry Editor Version 5.00'
        for extension in .zip .egg; do
            for verb in Arkova1_ExtractNewFolder Arkova2_ExtractHere Arkova3_ExtractTo Arkova4_Open; do
                printf '\n[HKEY_CURRENT_USER\\Software\\Classes\\SystemFileAssociations\\%s\\shell\\%s]\n' \
                    "$extension" "$verb"
                printf '"Icon"="%s"\n' "$command"
                printf '\n[HKEY_CURRENT_USER\\Software\\Classes\\SystemFileAssociations\\%s\\shell\\%s\\command]\n' \
                    "$extension" "$verb"
                printf '@="\\"%s\\" \\"%%1\\""\n' "$command"
            done
        done
    } | import_reg
    wait_for_prefix
    expect_equal "a context-menu verb" \
        "$(user_value 'Software\Classes\SystemFileAssociations\.egg\shell\Arkova4_Open\command' @)" \
        "\"$INSTALL_WIN\\arkova.exe\" \"%1\""
}

# The installed program opens its window on an archive, which is then closed as a user would close it.
check_program_runs() {
    local sample=$WORK/sample.alz shot=$WORK/installed-arkova.png program status=0
    rm -f "$sample" "$shot"
    wine_run tools.log "$BUILD/bin/make-sample-alz.exe" "$(win_path "$sample")" || die "no sample archive"
    wine "$INSTALL_WIN\\arkova.exe" "$(win_path "$sample")" </dev/null >>"$WORK/arkova.log" 2>&1 &
    program=$!
    wine_run tools.log "$BUILD/bin/window-screenshot.exe" ArkovaMainWindow "Arkova - sample.alz" \
        "$(win_path "$shot")" --close || fail "the installed arkova.exe showed no window on sample.alz"
    # The window was asked to close: the program ends on its own, or the check fails after 60 s.
    local deadline=$((SECONDS + 60))
    while kill -0 "$program" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.2; done
    if kill -0 "$program" 2>/dev/null; then
        kill "$program" 2>/dev/null || true
        fail "arkova.exe did not end after its window was closed"
    fi
    wait "$program" || status=$?
    expect_equal "arkova.exe's exit code" "$status" 0
    [[ -f $shot ]] && say "the installed program's window: ${shot#"$ROOT"/}"
    return 0
}

check_nothing_left() {
    local keys_before=$1 tree_before=$2
    [[ ! -e $INSTALL_DIR ]] || fail "left behind: $(cd "$INSTALL_DIR" && find . | tr '\n' ' ')"
    [[ ! -e $SHORTCUT ]] || fail "the Start-menu shortcut is left"
    local left
    left=$(grep -il 'arkova' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" || true)
    [[ -z $left ]] || fail "the registry still names Arkova: $(grep -ih 'arkova' "$WINEPREFIX"/*.reg | head -5)"
    compare_lists "registry keys" "$keys_before" "$(registry_keys)" \
        'Software\\\\Classes|Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall'
    compare_lists "files and folders" "$tree_before" "$(profile_tree)" '\./users/[^/]+/AppData/Local/Programs'
}

main() {
    [[ -f $SETUP && -f $ZIP ]] || die "$SETUP or $ZIP is missing: run scripts/arkova.sh package"
    [[ -n ${DISPLAY:-} ]] || die "DISPLAY is not set: run through scripts/arkova.sh test"
    local tool
    for tool in make-sample-alz.exe window-screenshot.exe; do
        [[ -f $BUILD/bin/$tool ]] || die "$BUILD/bin/$tool is missing: build the whole Windows tree"
    done
    rm -rf "$WORK"
    mkdir -p "$WORK"
    local start=$SECONDS
    say "install test: a fresh Wine prefix"
    make_prefix
    local keys_before tree_before status=0
    keys_before=$(registry_keys)
    tree_before=$(profile_tree)

    say "install test: $(basename "$SETUP") /S"
    wine_run setup.log "$(win_path "$SETUP")" /S || status=$?
    wait_for_prefix
    expect_equal "the installer's exit code" "$status" 0
    [[ -f $INSTALL_DIR/arkova.exe ]] || die "nothing was installed in ${INSTALL_DIR#"$WINEPREFIX"/}"
    check_files
    check_shortcut
    check_associations
    check_uninstall_entry

    say "install test: the installed arkova.exe on sample.alz"
    check_program_runs
    wait_for_prefix

    add_context_menu
    say "install test: uninstall.exe /S"
    # The uninstaller copies itself to the temporary folder, starts the copy and returns at once; the copy is done
    # when every process of the prefix has ended.
    status=0
    wine_run uninstall.log "$INSTALL_WIN\\uninstall.exe" /S || status=$?
    expect_equal "the uninstaller's exit code" "$status" 0
    wait_for_prefix
    check_nothing_left "$keys_before" "$tree_before"

    if ((FAILURES > 0)); then
        say "install test: $FAILURES check(s) failed (logs in ${WORK#"$ROOT"/})"
        return 1
    fi
    say "install test passed in $((SECONDS - start)) s"
}

main "$@"
