#!/usr/bin/env bash
# Runs every test: the Linux build, the Linux build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Debian package in two users' desktop
# sessions, and the Windows builds under Wine. Installs what it
# needs from Debian's archive when it is missing. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
source scripts/lib.sh

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}
run_tests() {
    ctest --preset "$1"
}
# Windows tests need a display for their windows; one Wine prefix per build.
run_windows_tests() {
    WINEDEBUG=-all xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
        set -euo pipefail
        export WINEPREFIX=$PWD/build/$0/wineprefix
        ctest --preset "$0"
        /usr/lib/wine/wineserver -k || true
    ' "$1"
}

build native
run_tests native
build asan
run_tests asan
# The loaders, the cipher and the number conversion under libFuzzer, 20 s each.
scripts/fuzz.sh 20
# The Debian package: built, installed, two users' sessions driven through the
# accessibility bus, installed over itself, removed and purged.
tests/linux-e2e/run.sh

build windows
build windows64
run_windows_tests windows64
if quotamin_can_run_32bit; then
    run_windows_tests windows
else
    echo "This machine cannot run 32-bit programs: the 32-bit Windows build was compiled, its tests ran in the 64-bit build."
fi
# The installer under Wine: installs with and without a password, the password page, the uninstall.
installer/test.sh
