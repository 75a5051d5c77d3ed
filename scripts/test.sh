#!/usr/bin/env bash
# Runs every test: the Linux build, the Linux build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows builds under Wine. Installs what it
# needs from Debian's archive when it is missing. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}
run_tests() {
    ctest --preset "$1"
}

build native
run_tests native
build asan
run_tests asan
# The loaders, the cipher and the number conversion under libFuzzer, 20 s each.
scripts/fuzz.sh 20

# Windows tests need a display for their windows; one Wine prefix per build.
build windows
build windows64
export WINEDEBUG=-all
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
    set -euo pipefail
    export WINEPREFIX=$PWD/build/windows64/wineprefix
    ctest --preset windows64
    /usr/lib/wine/wineserver -k || true
'
if [ "$QUOTAMIN_CAN_RUN_32BIT" = yes ]; then
    xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
        set -euo pipefail
        export WINEPREFIX=$PWD/build/windows/wineprefix
        ctest --preset windows
        /usr/lib/wine/wineserver -k || true
    '
else
    echo "This machine cannot run 32-bit programs: the 32-bit Windows build was compiled, its tests ran in the 64-bit build."
fi
# The installer under Wine: installs with and without a password, the password page, the uninstall.
installer/test.sh
