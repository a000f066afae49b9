#!/usr/bin/env bash
# Prepares a Debian 12 machine for building Arkova.
#
#   1. Installs the Debian packages both builds need (Linux and Windows cross).
#   2. Builds the Windows x64 libraries Debian does not ship for MinGW-w64
#      (libdeflate, libjpeg-turbo, GoogleTest, the 7-Zip DLL, UnRAR) from Debian
#      source packages into a cache outside the tree, one prefix per version.
#   3. Writes <cache>/mingw64/deps.cmake, which the Windows toolchain file reads.
#   4. Fetches libarchive's test archives into <cache> for the conformance suite.
#
# Safe to run again: installed packages and built prefixes are skipped.
#
# Usage: scripts/setup.sh [--packages-only] [--force]
#   --packages-only  only install the Debian packages
#   --force          rebuild the Windows dependencies even if they are cached
# Environment:
#   ARKOVA_CACHE     cache root (default: $HOME/.cache/arkova)
#   ARKOVA_JOBS      parallel build jobs (default: 2)
set -euo pipefail

readonly PACKAGES=(
  cmake ninja-build g++ libgtest-dev libgmock-dev googletest
  zlib1g-dev libdeflate-dev libjpeg62-turbo-dev libutf8proc-dev libsqlite3-dev
  p7zip-full
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 fonts-wine xvfb xauth
  nasm dpkg-dev clang-14 libclang-rt-14-dev
  libarchive-tools unzip zip time fonts-nanum locales gcab xorriso
  librsvg2-bin icoutils nsis
  libbz2-dev liblzma-dev libcrypto++-dev bzip2 xz-utils
)

# Exact Debian source versions of the Windows dependencies. A new version gets
# a new prefix, so older builds never mix with newer headers.
readonly LIBDEFLATE_VERSION=1.14-1
readonly LIBJPEG_VERSION=1:2.1.5-2
# Two 7zip versions are listed for bookworm; this is the security update.
readonly SEVENZIP_VERSION=22.01+really26.02+dfsg-0+deb12u1
# The EGG and ALZ readers' bzip2, LZMA and cipher libraries.
readonly BZIP2_VERSION=1.0.8-5
readonly XZ_VERSION=5.4.1-1+deb12u2
readonly CRYPTOPP_VERSION=8.7.0+git220824-1
# GoogleTest is built from /usr/src/googletest, so its version is whatever the
# installed googletest package is (looked up at run time).

readonly CROSS=x86_64-w64-mingw32
readonly CROSS_CC=$CROSS-gcc-posix
readonly CROSS_CXX=$CROSS-g++-posix

CACHE_ROOT=${ARKOVA_CACHE:-${HOME:?HOME is not set; set ARKOVA_CACHE}/.cache/arkova}
readonly CACHE_ROOT
readonly WIN_ROOT=$CACHE_ROOT/mingw64
readonly LOG_DIR=$CACHE_ROOT/logs
readonly TOOLCHAIN=$WIN_ROOT/toolchain.cmake
readonly STAMP=.arkova-complete
readonly SRC_LIST=/etc/apt/sources.list.d/arkova-src.sources
readonly NONFREE_LIST=/etc/apt/sources.list.d/arkova-non-free.sources
readonly NONFREE_PIN=/etc/apt/preferences.d/arkova-non-free
readonly JOBS=${ARKOVA_JOBS:-2}

PACKAGES_ONLY=0
FORCE=0
APT_UPDATED=0
LOG=/dev/null
PREFIXES=()
declare -A PREFIX_OF=()

export DEBIAN_FRONTEND=noninteractive

# ---------------------------------------------------------------- messages --

say() { printf 'setup: %s\n' "$*"; }

die() {
  printf 'setup: error: %s\n' "$*" | redact >&2
  exit 1
}

# Masks URLs and the configured mirror host names in tool output: the
# machine's package sources are its own business, not the log reader's.
MIRROR_SED=
redact() {
  if [[ -z $MIRROR_SED ]]; then
    local hosts
    hosts=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
                /etc/apt/sources.list.d/*.sources 2>/dev/null \
            | grep -oE '://[^/[:space:]]+' | cut -c4- | sort -u \
            | sed 's/[].[*^$\\+?(){}|]/\\&/g' | paste -sd'|' || true)
    if [[ -n $hosts ]]; then
      MIRROR_SED="s#($hosts)#<mirror>#g"
    else
      MIRROR_SED='s#^##'   # nothing to mask
    fi
  fi
  sed -E -e 's#[A-Za-z][A-Za-z0-9+.-]*://[^[:space:]]+#<mirror>#g' -e "$MIRROR_SED"
}

# Runs a command with its output going to $LOG. On failure prints the end of
# the log and stops, so CI shows why without scrolling through a full build.
run() {
  printf '+ %s\n' "$*" >>"$LOG"
  if ! "$@" >>"$LOG" 2>&1 </dev/null; then
    {
      printf 'setup: error: command failed: %s\n' "$*"
      printf 'setup: last lines of %s:\n' "$LOG"
      tail -n 40 "$LOG" | sed 's/^/  | /'
    } | redact >&2
    exit 1
  fi
}

need_root() {
  [[ $(id -u) -eq 0 ]] || die "must run as root to $1"
}

# ---------------------------------------------------------------- packages --

missing_packages() {
  local installed
  installed=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${PACKAGES[@]}" \
                2>/dev/null | awk '$2 == "ii" { print $1 }' || true)
  local pkg
  for pkg in "${PACKAGES[@]}"; do
    grep -qxF "$pkg" <<<"$installed" || printf '%s\n' "$pkg"
  done
}

apt_update() {
  [[ $APT_UPDATED -eq 1 ]] && return 0
  say "updating the package lists ..."
  run apt-get -qq update
  APT_UPDATED=1
}

install_packages() {
  LOG=$LOG_DIR/packages.log
  : >"$LOG"
  local missing
  missing=$(missing_packages)
  if [[ -z $missing ]]; then
    say "Debian packages up to date"
    return 0
  fi
  need_root "install packages"
  say "installing Debian packages: $(paste -sd' ' <<<"$missing")"
  # The lists may be empty on a fresh image, or stale; refresh them only
  # when there is something to install.
  apt_update
  # shellcheck disable=SC2086  # one word per package
  run apt-get -qq -y --no-install-recommends \
      -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
      install $missing
  missing=$(missing_packages)
  [[ -z $missing ]] || die "packages still missing after install: $(paste -sd' ' <<<"$missing")"
}

# The benchmarks' peer for ALZ (bench/pipeline.sh): unalz, from Debian.
install_bench_peers() {
  dpkg-query -W -f='${db:Status-Abbrev}' unalz 2>/dev/null | grep -q '^ii' && return 0
  need_root "install unalz"
  say "installing the benchmarks' peer: unalz"
  apt_update
  run apt-get -qq -y --no-install-recommends install unalz
}

# The Windows suite runs Wine in a Korean locale, so that the system ANSI code
# page is 949 as on the users' machines; Wine needs the glibc locale for that.
ensure_korean_locale() {
  if locale -a 2>/dev/null | grep -qix 'ko_KR.utf8'; then
    return 0
  fi
  need_root "generate the ko_KR.UTF-8 locale"
  say "generating the ko_KR.UTF-8 locale ..."
  LOG=$LOG_DIR/packages.log
  if grep -q '^# *ko_KR.UTF-8 UTF-8' /etc/locale.gen; then
    sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'ko_KR.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  run locale-gen
}

# ---------------------------------------------------------- source packages --

# The deb-src entries mirror the machine's own binary sources, so sources and
# binaries always come from the same place and no address is hard-coded here.
ensure_deb_src() {
  local binary=/etc/apt/sources.list.d/debian.sources want
  [[ -f $binary ]] || die "$binary not found: cannot derive the deb-src entries"
  want=$(printf '# Written by Arkova scripts/setup.sh from debian.sources.\n'
         sed -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb-src/' "$binary")
  if [[ -f $SRC_LIST && "$(cat "$SRC_LIST")" == "$want" ]]; then
    return 0
  fi
  need_root "add the deb-src entries"
  say "adding deb-src entries ($SRC_LIST)"
  printf '%s\n' "$want" >"$SRC_LIST.tmp"
  mv -f "$SRC_LIST.tmp" "$SRC_LIST"
  APT_UPDATED=0
  apt_update
}

source_listed() {  # name version
  apt-cache showsrc --only-source "$1" 2>/dev/null | grep -qxF "Version: $2"
}

# Downloads and unpacks source package $1 at exactly version $2 into work dir
# $3; sets SRC_DIR to the unpacked tree.
fetch_source() {
  local name=$1 version=$2 work=$3
  ensure_deb_src
  if ! source_listed "$name" "$version"; then
    apt_update
    source_listed "$name" "$version" || die "source package $name $version is not available;" \
      "listed versions: $(apt-cache showsrc --only-source "$name" 2>/dev/null \
                          | sed -n 's/^Version: //p' | paste -sd' ')"
  fi
  # Root's home is not readable by apt's sandbox user, so download as root.
  (cd "$work" && run apt-get -qq source --download-only --only-source \
      -o APT::Sandbox::User=root "$name=$version")
  SRC_DIR=$work/src
  run dpkg-source -x "$work/${name}_${version#*:}.dsc" "$SRC_DIR"
}

# ---------------------------------------------------------------- non-free --

# RAR is read through its maker's UnRAR library, which Debian ships only in
# non-free; `rar` makes the test archives. The version of the UnRAR source
# that both targets use: natively as Debian's libunrar-dev of that version,
# for Windows built from the same source package.
readonly UNRAR_VERSION=1:6.2.6-1+deb12u1
readonly NONFREE_PACKAGES=(unrar libunrar5 libunrar-dev libunrar-headers rar)

# The non-free component of the machine's own mirror, binary and source,
# derived from its sources file like the deb-src entries. A pin keeps every
# other non-free package out: only the UnRAR packages and rar may come from it.
ensure_non_free() {
  local binary=/etc/apt/sources.list.d/debian.sources want pin
  [[ -f $binary ]] || die "$binary not found: cannot derive the non-free entries"
  want=$(printf '# Written by Arkova scripts/setup.sh from debian.sources.\n'
         sed -E -e 's/^Types:.*$/Types: deb deb-src/' \
                -e 's/^Components:.*$/Components: non-free/' "$binary")
  pin=$(printf '# Written by Arkova scripts/setup.sh: only the UnRAR packages come from non-free.\n'
        printf 'Package: %s\nPin: release c=non-free\nPin-Priority: 500\n\n' "${NONFREE_PACKAGES[*]}"
        printf 'Package: *\nPin: release c=non-free\nPin-Priority: -1\n')
  if [[ -f $NONFREE_LIST && "$(cat "$NONFREE_LIST")" == "$want" &&
        -f $NONFREE_PIN && "$(cat "$NONFREE_PIN")" == "$pin" ]]; then
    return 0
  fi
  need_root "add the non-free entries"
  say "adding the non-free entries for UnRAR ($NONFREE_LIST)"
  printf '%s\n' "$pin" >"$NONFREE_PIN.tmp"
  mv -f "$NONFREE_PIN.tmp" "$NONFREE_PIN"
  printf '%s\n' "$want" >"$NONFREE_LIST.tmp"
  mv -f "$NONFREE_LIST.tmp" "$NONFREE_LIST"
  APT_UPDATED=0
}

# Installs the non-free packages at the pinned UnRAR version (rar at whatever
# version is listed: it only makes test archives).
install_rar_packages() {
  LOG=$LOG_DIR/packages.log
  ensure_non_free
  local version=${UNRAR_VERSION} have
  have=$(dpkg-query -W -f='${Version} ${db:Status-Abbrev}\n' libunrar-dev 2>/dev/null || true)
  if [[ $have == "$version ii"* ]] && dpkg-query -W -f='${db:Status-Abbrev}\n' unrar rar 2>/dev/null \
       | grep -c '^ii' | grep -qx 2; then
    say "UnRAR packages up to date"
    return 0
  fi
  need_root "install the UnRAR packages"
  apt_update
  say "installing UnRAR $version and rar from non-free"
  run apt-get -qq -y --no-install-recommends \
      -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
      install "libunrar-dev=$version" "libunrar-headers=$version" "libunrar5=$version" \
      "unrar=$version" rar
}

# --------------------------------------------------------- windows toolchain --

write_toolchain() {
  mkdir -p "$WIN_ROOT"
  cat >"$TOOLCHAIN.tmp" <<EOF
# Written by Arkova scripts/setup.sh: cross-compiles the Windows dependencies.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER $CROSS_CC)
set(CMAKE_CXX_COMPILER $CROSS_CXX)
set(CMAKE_RC_COMPILER $CROSS-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$CROSS)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  mv -f "$TOOLCHAIN.tmp" "$TOOLCHAIN"
}

# Configures, builds and installs a CMake project for Windows.
cmake_cross() {  # source-dir build-dir prefix [cmake args...]
  local src=$1 build=$2 prefix=$3
  shift 3
  run cmake -S "$src" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
  run cmake --build "$build" -j "$JOBS"
  run cmake --install "$build"
}

# ------------------------------------------------------ windows dependencies --

# Each builder gets: prefix, scratch dir, version.

build_libdeflate() {
  local prefix=$1 work=$2 version=$3
  fetch_source libdeflate "$version" "$work"
  # libdeflate 1.14 has only a Makefile; AR must be given or the host ar is used.
  run make -C "$SRC_DIR" -j"$JOBS" CC="$CROSS_CC" AR="$CROSS-ar" \
      DISABLE_SHARED=1 PREFIX="$prefix" install
  # For MinGW targets the static library is named libdeflatestatic.lib;
  # give it the name the GNU linker looks for with -ldeflate.
  run cp "$prefix/lib/libdeflatestatic.lib" "$prefix/lib/libdeflate.a"
}

build_libjpeg() {
  local prefix=$1 work=$2 version=$3
  fetch_source libjpeg-turbo "$version" "$work"
  # REQUIRE_SIMD turns a missing NASM into a build error instead of a
  # silently slow decoder.
  cmake_cross "$SRC_DIR" "$work/build" "$prefix" \
      -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_SIMD=1 -DREQUIRE_SIMD=1
}

build_googletest() {
  local prefix=$1 work=$2
  [[ -f /usr/src/googletest/CMakeLists.txt ]] || die "/usr/src/googletest is missing (package googletest)"
  cmake_cross /usr/src/googletest "$work/build" "$prefix" \
      -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  [[ -f $prefix/lib/cmake/GTest/GTestConfig.cmake ]] || die "GoogleTest did not install GTestConfig.cmake"
}

build_7zip() {
  local prefix=$1 work=$2 version=$3
  fetch_source 7zip "$version" "$work"
  local bundle=$SRC_DIR/CPP/7zip/Bundles/Format7zF dll
  # Without MSYSTEM the MinGW branch of the makefile expects cmd.exe's mkdir;
  # "mkdir -p" keeps a rerun in the same tree working. Debian's sources carry
  # no RAR decoders, so only those stay out: the RAR handlers still list RAR
  # archives and extract their stored entries.
  run make -C "$bundle" -f makefile.gcc -j"$JOBS" \
      IS_MINGW=1 DISABLE_RAR_COMPRESS=1 IS_X64=1 MY_MKDIR="mkdir -p" \
      CC="$CROSS_CC" CXX="$CROSS_CXX" RC="$CROSS-windres"
  dll=$bundle/_o/7z.dll
  [[ -f $dll ]] || die "7-Zip build produced no $dll"
  mkdir -p "$prefix/bin"
  run "$CROSS-strip" -o "$prefix/bin/7zip.dll" "$dll"
  check_7zip_dll "$prefix/bin/7zip.dll"
}

# The UnRAR library for Windows, static, from the same source package and
# version as the native libunrar-dev. Its makefile is for Unix, so the object
# list comes from it and the Windows-only pieces are added here.
build_unrar() {
  local prefix=$1 work=$2 version=$3
  fetch_source unrar-nonfree "$version" "$work"
  # The sources include two Windows headers by their mixed-case names; MinGW
  # ships them in lower case.
  local shim=$work/include
  mkdir -p "$shim"
  printf '#include <powrprof.h>\n' >"$shim/PowrProf.h"
  printf '#include <wbemidl.h>\n' >"$shim/Wbemidl.h"
  # _bstr_t's narrow-string constructor needs this helper from comsupp, which
  # MinGW does not have.
  cat >"$SRC_DIR/arkova_comsupp.cpp" <<'CPP'
#include <comutil.h>
namespace _com_util {
BSTR WINAPI ConvertStringToBSTR(const char* text) {
  if (text == nullptr) return nullptr;
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 0) return nullptr;
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
  if (result != nullptr) MultiByteToWideChar(CP_ACP, 0, text, -1, result, length);
  return result;
}
}  // namespace _com_util
CPP
  # The makefile's static-lib target builds the DLL interface (dll.o and
  # the rest); isnt.o (Windows version checks) and our helper are added.
  run make -C "$SRC_DIR" -j"$JOBS" WHAT=RARDLL \
      CXX="$CROSS_CXX" AR="$CROSS-ar" STRIP=true \
      CXXFLAGS="-O2 -DNDEBUG -I$shim" DEFINES="-DRAR_SMP -DSILENT -DUNICODE -D_UNICODE" \
      LIBFLAGS= LDFLAGS= static-lib
  local extra
  for extra in isnt arkova_comsupp; do
    run "$CROSS_CXX" -O2 -DNDEBUG -DRARDLL -DSILENT -DRAR_SMP -DUNICODE -D_UNICODE -I"$shim" \
        -c "$SRC_DIR/$extra.cpp" -o "$SRC_DIR/$extra.o"
  done
  run "$CROSS-ar" rs "$SRC_DIR/libunrar.a" "$SRC_DIR/isnt.o" "$SRC_DIR/arkova_comsupp.o"
  mkdir -p "$prefix/lib" "$prefix/include/unrar" "$prefix/share/unrar"
  cp "$SRC_DIR/libunrar.a" "$prefix/lib/"
  # Every header, as libunrar-headers installs them natively: the decoder
  # drives the library's own classes. The headers include PowrProf.h too.
  cp "$SRC_DIR"/*.hpp "$shim/PowrProf.h" "$prefix/include/unrar/"
  cp "$SRC_DIR/license.txt" "$prefix/share/unrar/"
}

# bzip2 ships a Makefile for its host only; the library is six C files.
build_bzip2() {
  local prefix=$1 work=$2 version=$3 f
  fetch_source bzip2 "$version" "$work"
  mkdir -p "$prefix/lib" "$prefix/include"
  for f in blocksort huffman crctable randtable compress decompress bzlib; do
    run "$CROSS_CC" -O2 -D_FILE_OFFSET_BITS=64 -c "$SRC_DIR/$f.c" -o "$work/$f.o"
  done
  run "$CROSS-ar" rcs "$prefix/lib/libbz2.a" "$work"/*.o
  run cp "$SRC_DIR/bzlib.h" "$prefix/include/"
}

# Only liblzma is needed, not the xz tools.
build_xz() {
  local prefix=$1 work=$2 version=$3
  fetch_source xz-utils "$version" "$work"
  cmake_cross "$SRC_DIR" "$work/build" "$prefix" -DBUILD_TESTING=OFF
  [[ -f $prefix/lib/liblzma.a ]] || die "xz-utils did not install liblzma.a"
}

build_cryptopp() {
  local prefix=$1 work=$2 version=$3
  fetch_source libcrypto++ "$version" "$work"
  run make -C "$SRC_DIR" -f GNUmakefile -j"$JOBS" static \
      CXX="$CROSS_CXX" AR="$CROSS-ar" RANLIB="$CROSS-ranlib" CXXFLAGS="-DNDEBUG -O2"
  # Debian's packaging names the library and its header folder crypto++, as the native -dev package does.
  mkdir -p "$prefix/lib" "$prefix/include/crypto++"
  run cp "$SRC_DIR/libcrypto++.a" "$prefix/lib/libcryptopp.a"
  run cp "$SRC_DIR"/*.h "$prefix/include/crypto++/"
}

# The adapter loads the DLL by these entry points, and it must run without
# MinGW runtime DLLs beside it.
check_7zip_dll() {
  local dll=$1 dump sym
  dump=$("$CROSS-objdump" -p "$dll") || die "cannot read $dll"
  for sym in CreateObject GetModuleProp GetNumberOfFormats GetHandlerProperty2; do
    grep -qE "[[:space:]]$sym\$" <<<"$dump" || die "$dll does not export $sym"
  done
  if grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)' <<<"$dump" >&2; then
    die "$dll depends on MinGW runtime DLLs; it must be linked statically"
  fi
}

# Builds one dependency unless its prefix already carries the completion
# stamp. The prefix is wiped first, so a half-finished build never counts.
# A builder whose recipe changes passes a new recipe number, so that prefixes
# built the old way are rebuilt.
ensure_dep() {  # key display-name version builder [recipe]
  local key=$1 name=$2 version=$3 builder=$4 recipe=${5:-}
  local stamp_text="$name $version${recipe:+ recipe $recipe}"
  local dir=$key-${version#*:}   # no epoch in paths, as in Debian's file names
  local prefix=$WIN_ROOT/$dir work=$CACHE_ROOT/work/$dir
  PREFIXES+=("$prefix")
  PREFIX_OF[$key]=$prefix
  if [[ $FORCE -eq 0 && -f $prefix/$STAMP && $(<"$prefix/$STAMP") == "$stamp_text" ]]; then
    say "$name up to date"
    return 0
  fi
  LOG=$LOG_DIR/$dir.log
  : >"$LOG"
  say "building $name $version for Windows ... (log: $LOG)"
  local start=$SECONDS
  rm -rf "$prefix" "$work"
  mkdir -p "$prefix" "$work"
  "$builder" "$prefix" "$work" "$version"
  printf '%s\n' "$stamp_text" >"$prefix/$STAMP"
  rm -rf "$work"   # sources and objects are not needed once installed
  say "$name $version done in $((SECONDS - start)) s"
}

googletest_version() {
  dpkg-query -W -f='${Version}' googletest 2>/dev/null \
    || die "package googletest is not installed (run without --packages-only)"
}

build_windows_deps() {
  write_toolchain
  ensure_dep libdeflate libdeflate "$LIBDEFLATE_VERSION" build_libdeflate
  ensure_dep libjpeg-turbo libjpeg-turbo "$LIBJPEG_VERSION" build_libjpeg
  local gtest_version
  gtest_version=$(googletest_version)
  ensure_dep googletest GoogleTest "$gtest_version" build_googletest
  ensure_dep 7zip "7-Zip DLL" "$SEVENZIP_VERSION" build_7zip 2
  ensure_dep unrar "UnRAR library" "$UNRAR_VERSION" build_unrar 2
  build_archive_codec_deps
}

build_archive_codec_deps() {
  ensure_dep bzip2 bzip2 "$BZIP2_VERSION" build_bzip2
  ensure_dep xz liblzma "$XZ_VERSION" build_xz
  ensure_dep cryptopp Crypto++ "$CRYPTOPP_VERSION" build_cryptopp
}

# Lines of deps.cmake for the archive codec libraries.
write_archive_codec_deps() {
  local bz=${PREFIX_OF[bzip2]} xz=${PREFIX_OF[xz]} cpp=${PREFIX_OF[cryptopp]} f
  for f in "$bz/lib/libbz2.a" "$xz/lib/liblzma.a" "$cpp/lib/libcryptopp.a"; do
    [[ -f $f ]] || die "expected $f; rerun with --force"
  done
  printf 'set(ARKOVA_WIN_BZIP2_INCLUDE "%s")\n' "$bz/include"
  printf 'set(ARKOVA_WIN_BZIP2_LIB "%s")\n' "$bz/lib/libbz2.a"
  printf 'set(ARKOVA_WIN_LZMA_INCLUDE "%s")\n' "$xz/include"
  printf 'set(ARKOVA_WIN_LZMA_LIB "%s")\n' "$xz/lib/liblzma.a"
  printf 'set(ARKOVA_WIN_CRYPTOPP_INCLUDE "%s")\n' "$cpp/include"
  printf 'set(ARKOVA_WIN_CRYPTOPP_LIB "%s")\n' "$cpp/lib/libcryptopp.a"
}

# -------------------------------------------------------- conformance corpus --

# libarchive's own test archives, uudecoded into the cache for the conformance
# suite (tests/conformance), which compares arkova-cli with 7z and bsdtar on
# them. The .uu files come from Debian's libarchive source package; nothing of
# it enters the repository. The tools make test archives of formats outside
# the detection tables (cpio, compress .Z, ARJ).
readonly LIBARCHIVE_VERSION=3.6.2-1+deb12u5
readonly CORPUS_PACKAGES=(sharutils cpio ncompress arj)

install_corpus_tools() {
  local pkg missing=()
  for pkg in "${CORPUS_PACKAGES[@]}"; do
    dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null | grep -q '^ii' || missing+=("$pkg")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  need_root "install the corpus tools"
  LOG=$LOG_DIR/packages.log
  say "installing ${missing[*]}"
  apt_update
  run apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

fetch_libarchive_corpus() {
  local dir=$CACHE_ROOT/libarchive-corpus-${LIBARCHIVE_VERSION#*:}
  local work=$CACHE_ROOT/work/libarchive-${LIBARCHIVE_VERSION#*:} uu count
  if [[ $FORCE -eq 0 && -f $dir/$STAMP ]]; then
    say "libarchive test corpus up to date"
    return 0
  fi
  LOG=$LOG_DIR/libarchive-${LIBARCHIVE_VERSION#*:}.log
  : >"$LOG"
  say "fetching libarchive $LIBARCHIVE_VERSION test archives ... (log: $LOG)"
  rm -rf "$dir" "$work"
  mkdir -p "$dir/archives" "$dir/tests" "$work"
  fetch_source libarchive "$LIBARCHIVE_VERSION" "$work"
  for uu in "$SRC_DIR"/libarchive/test/*.uu; do
    (cd "$dir/archives" && uudecode -o "$(basename "${uu%.uu}")" "$uu") >>"$LOG" 2>&1 ||
      say "cannot uudecode $(basename "$uu") (skipped)"
  done
  # The tests' sources hold the passwords of the encrypted archives.
  cp "$SRC_DIR"/libarchive/test/test_*.c "$dir/tests/"
  count=$(find "$dir/archives" -type f | wc -l)
  printf 'libarchive %s: %s archives\n' "$LIBARCHIVE_VERSION" "$count" >"$dir/$STAMP"
  rm -rf "$work"
  say "libarchive test corpus: $count archives in $dir"
}

# --------------------------------------------------------------- deps.cmake --

# Tells the project's Windows toolchain where the prefixes are. Written to a
# temporary name and renamed, so a configure never reads half a file.
write_deps_cmake() {
  local deflate=${PREFIX_OF[libdeflate]} jpeg=${PREFIX_OF[libjpeg-turbo]}
  local gtest=${PREFIX_OF[googletest]} sevenzip=${PREFIX_OF[7zip]} unrar=${PREFIX_OF[unrar]}
  local out=$WIN_ROOT/deps.cmake f
  for f in "$deflate/include/libdeflate.h" "$deflate/lib/libdeflate.a" \
           "$jpeg/include/jpeglib.h" "$jpeg/lib/libjpeg.a" "$jpeg/lib/libturbojpeg.a" \
           "$gtest/lib/cmake/GTest/GTestConfig.cmake" "$sevenzip/bin/7zip.dll" \
           "$unrar/include/unrar/rar.hpp" "$unrar/lib/libunrar.a" "$unrar/share/unrar/license.txt"; do
    [[ -f $f ]] || die "expected $f; rerun with --force"
  done
  {
    printf '# Written by Arkova scripts/setup.sh; do not edit.\n'
    printf '# Windows x64 dependencies built from Debian source packages.\n'
    printf 'set(ARKOVA_WIN_PREFIXES "%s")\n' "$(IFS=';'; printf '%s' "${PREFIXES[*]}")"
    printf 'set(ARKOVA_7ZIP_DLL "%s")\n' "$sevenzip/bin/7zip.dll"
    printf 'set(ARKOVA_WIN_LIBDEFLATE_INCLUDE "%s")\n' "$deflate/include"
    printf 'set(ARKOVA_WIN_LIBDEFLATE_LIB "%s")\n' "$deflate/lib/libdeflate.a"
    printf 'set(ARKOVA_WIN_JPEG_INCLUDE "%s")\n' "$jpeg/include"
    printf 'set(ARKOVA_WIN_JPEG_LIB "%s")\n' "$jpeg/lib/libjpeg.a"
    printf 'set(ARKOVA_WIN_TURBOJPEG_LIB "%s")\n' "$jpeg/lib/libturbojpeg.a"
    printf 'set(ARKOVA_WIN_GTEST_DIR "%s")\n' "$gtest/lib/cmake/GTest"
    printf 'set(ARKOVA_WIN_UNRAR_INCLUDE "%s")\n' "$unrar/include/unrar"
    printf 'set(ARKOVA_WIN_UNRAR_LIB "%s")\n' "$unrar/lib/libunrar.a"
    printf 'set(ARKOVA_WIN_UNRAR_LICENSE "%s")\n' "$unrar/share/unrar/license.txt"
    write_archive_codec_deps
  } >"$out.tmp.$$"
  mv -f "$out.tmp.$$" "$out"
  say "wrote $out"
}

# --------------------------------------------------------------------- main --

usage() {
  sed -n 's/^# \{0,1\}//; /^Usage:/,/^ *ARKOVA_JOBS/p' "$0"
}

parse_args() {
  local arg
  for arg in "$@"; do
    case $arg in
      --packages-only) PACKAGES_ONLY=1 ;;
      --force) FORCE=1 ;;
      -h|--help) usage; exit 0 ;;
      *) usage >&2; die "unknown option: $arg" ;;
    esac
  done
}

main() {
  parse_args "$@"
  mkdir -p "$LOG_DIR"
  # One setup at a time per cache: two runs building the same prefix would
  # overwrite each other's files.
  exec 9>"$CACHE_ROOT/.lock"
  flock -n 9 || { say "waiting for another setup run to finish ..."; flock 9; }

  install_packages
  install_bench_peers
  install_rar_packages
  ensure_korean_locale
  install_corpus_tools
  [[ $PACKAGES_ONLY -eq 1 ]] && { say "done (packages only)"; return 0; }
  build_windows_deps
  write_deps_cmake
  fetch_libarchive_corpus
  say "done"
}

main "$@"
