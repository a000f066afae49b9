#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build tree's own prefix. CTest uses it for every Windows
# test; scripts/arkova.sh starts the prefix's wineserver once per run so that each program starts quickly.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# A crash exits with code 5 instead of opening a debugger window that would hang the run.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}
exec wine "$@"
