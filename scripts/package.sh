#!/usr/bin/env bash
# Makes the Windows release from a built Windows tree:
#   DIST/arkova-<version>-win64.zip    the portable folder "Arkova": arkova.exe, 7zip.dll, res/, README.txt and
#                                      the licences of everything linked into the two binaries
#   DIST/arkova-<version>-setup.exe    the per-user installer (installer/arkova.nsi) of the same files
# The version is the project's (CMakeLists.txt).
#
# Usage: scripts/package.sh [BUILD_DIR [DIST_DIR]]   (default: build/windows and dist)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:-$ROOT/build/windows}
DIST=${2:-$ROOT/dist}
BIN=$BUILD/bin
WORK=$BUILD/package
STAGE=$WORK/Arkova
CROSS=x86_64-w64-mingw32

say() { printf '\n== %s ==\n' "$*"; }
die() {
    printf 'package: %s\n' "$*" >&2
    exit 1
}

project_version() { sed -n 's/^project(Arkova VERSION \([0-9][0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt"; }

# The Debian source versions the setup script builds the Windows libraries from: it is the one place they are set.
source_version() { sed -n "s/^readonly $1=//p" "$ROOT/scripts/setup.sh"; }

installed_version() { dpkg-query -W -f='${Version}' "$1"; }

# A release must run on a bare Windows: only system DLLs may be imported.
SYSTEM_DLLS=(kernel32 user32 gdi32 gdiplus comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 advapi32 windowscodecs
    powrprof msvcrt ucrtbase shcore uxtheme dwmapi version 'api-ms-win-[a-z0-9-]+')
check_imports() {
    local binary=$1 imports allowed
    imports=$("$CROSS-objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
    allowed="^($(IFS='|'; printf '%s' "${SYSTEM_DLLS[*]}"))\.dll\$"
    if grep -viE "$allowed" <<<"$imports"; then
        die "$(basename "$binary") imports the DLLs above, which a Windows machine does not have"
    fi
}

# The licence list below is what the Windows build links; a library that joins it must join the list too.
check_no_sqlite() {
    if grep -qa 'SQLite format 3' "$BIN/arkova.exe"; then
        die "arkova.exe links SQLite: add its licence to stage_licences"
    fi
}

# to_windows_text OUT: standard input as UTF-8 with a BOM and CRLF lines, which every Notepad reads.
to_windows_text() { { printf '\xef\xbb\xbf'; sed 's/\r*$/\r/'; } >"$1"; }

stage_program() {
    rm -rf "$WORK"
    mkdir -p "$STAGE"
    local file
    for file in arkova.exe 7zip.dll; do
        [[ -f $BIN/$file ]] || die "$BIN/$file is missing: build the Windows tree first"
        check_imports "$BIN/$file"
        # The build keeps its debugging information (most of arkova.exe); users get none.
        "$CROSS-strip" -o "$STAGE/$file" "$BIN/$file"
    done
    [[ -d $BIN/res ]] || die "$BIN/res is missing: build the Windows tree first"
    cp -r "$BIN/res" "$STAGE/res"
    sed "s/@VERSION@/$VERSION/g" "$ROOT/installer/README.txt" | to_windows_text "$STAGE/README.txt"
}

# licence NAME HEADER FILE...: licenses/NAME.txt, the header then the files, as Debian records them.
licence() {
    local name=$1 header=$2 file
    shift 2
    for file in "$@"; do
        [[ -f $file ]] || die "$file is missing (its Debian package is not installed: run scripts/setup.sh)"
    done
    { printf '%s\n\n' "$header"; cat "$@"; } | to_windows_text "$STAGE/licenses/$name.txt"
}

stage_licences() {
    mkdir -p "$STAGE/licenses"
    local doc=/usr/share/doc common=/usr/share/common-licenses into="linked into arkova.exe"
    licence zlib "zlib ($into), Debian package libz-mingw-w64 $(installed_version libz-mingw-w64)" \
        "$doc/libz-mingw-w64/copyright"
    licence libdeflate "libdeflate ($into), Debian source package libdeflate $(source_version LIBDEFLATE_VERSION)" \
        "$doc/libdeflate-dev/copyright"
    licence libjpeg-turbo \
        "libjpeg-turbo ($into), Debian source package libjpeg-turbo $(source_version LIBJPEG_VERSION)" \
        "$doc/libjpeg62-turbo/copyright"
    # The binary package p7zip carries the same 7-Zip code (RAR excluded) and its copyright file.
    licence 7-zip "7-Zip library (7zip.dll), built unchanged from Debian's source package 7zip \
$(source_version SEVENZIP_VERSION). The GNU LGPL 2.1 follows the copyright notices." \
        "$doc/p7zip/copyright" "$common/LGPL-2.1"
    licence bzip2 "bzip2 ($into), Debian source package bzip2 $(source_version BZIP2_VERSION)" \
        "$doc/libbz2-dev/copyright"
    licence liblzma "liblzma ($into), Debian source package xz-utils $(source_version XZ_VERSION)" \
        "$doc/liblzma-dev/copyright"
    licence cryptopp "Crypto++ ($into), Debian source package libcrypto++ $(source_version CRYPTOPP_VERSION)" \
        "$doc/libcrypto++-dev/copyright"
    # UnRAR is free to use but not free software: its licence forbids re-creating the RAR compression algorithm.
    licence unrar "UnRAR library ($into), Debian source package unrar-nonfree $(source_version UNRAR_VERSION)" \
        "$BIN/unrar-license.txt"
    licence mingw-w64-runtime "MinGW-w64 runtime (start-up code and winpthreads, linked into both programs), \
Debian package mingw-w64-common $(installed_version mingw-w64-common)" "$doc/mingw-w64-common/copyright"
    licence gcc-runtime "GCC runtime libraries (libstdc++ and libgcc, linked into both programs under the GCC \
Runtime Library Exception), Debian package gcc-mingw-w64-base $(installed_version gcc-mingw-w64-base). \
The GNU GPL 3 follows." "$doc/gcc-mingw-w64-base/copyright" "$common/GPL-3"
}

# write_file_lists FILES UNFILES: the installer's File lines and the uninstaller's Delete and RMDir lines, from
# the staged tree, so that the uninstaller removes exactly what was installed.
write_file_lists() {
    local files=$1 unfiles=$2 dir file rel
    if find "$STAGE" -mindepth 1 | sed "s#^$STAGE/##" | grep -v '^[A-Za-z0-9._/-]*$'; then
        die "the names above would need quoting in the installer script"
    fi
    : >"$files"
    while IFS= read -r dir; do
        rel=${dir#"$STAGE"}
        printf 'SetOutPath "$INSTDIR%s"\n' "${rel//\//\\}" >>"$files"
        find "$dir" -maxdepth 1 -type f | sort | sed 's/.*/File "&"/' >>"$files"
    done < <(find "$STAGE" -type d | sort)
    {
        while IFS= read -r file; do
            rel=${file#"$STAGE"/}
            printf 'Delete "$INSTDIR\\%s"\n' "${rel//\//\\}"
        done < <(find "$STAGE" -type f | sort)
        # Deepest folders first; RMDir without /r leaves a folder the user put files into.
        while IFS= read -r dir; do
            rel=${dir#"$STAGE"/}
            printf 'RMDir "$INSTDIR\\%s"\n' "${rel//\//\\}"
        done < <(find "$STAGE" -mindepth 1 -type d | sort -r)
    } >"$unfiles"
}

make_zip() {
    local zip=$DIST/arkova-$VERSION-win64.zip
    rm -f "$zip"
    (cd "$WORK" && zip -q -r -X "$zip" Arkova)
    say "made ${zip#"$ROOT"/} ($(du -k "$zip" | cut -f1) KB)"
}

make_installer() {
    local setup=$DIST/arkova-$VERSION-setup.exe icon=$BUILD/generated-res/arkova.ico
    write_file_lists "$WORK/files.nsh" "$WORK/unfiles.nsh"
    local defines=(-DVERSION="$VERSION" -DSTAGE="$STAGE" -DFILES="$WORK/files.nsh" -DUNFILES="$WORK/unfiles.nsh"
        -DOUTFILE="$setup")
    [[ -f $icon ]] && defines+=(-DICON="$icon")
    rm -f "$setup"
    makensis -V2 -WX -INPUTCHARSET UTF8 "${defines[@]}" "$ROOT/installer/arkova.nsi" >"$WORK/makensis.log" 2>&1 ||
        { cat "$WORK/makensis.log"; die "makensis failed"; }
    say "made ${setup#"$ROOT"/} ($(du -k "$setup" | cut -f1) KB)"
}

main() {
    VERSION=$(project_version)
    [[ -n $VERSION ]] || die "no version in CMakeLists.txt"
    command -v makensis >/dev/null || die "makensis is missing (package nsis: run scripts/setup.sh)"
    mkdir -p "$DIST"
    stage_program
    check_no_sqlite
    stage_licences
    make_zip
    make_installer
}

main "$@"
