#!/usr/bin/env bash
# Runs every test: the Linux build, the Linux build under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows builds under Wine. Installs what it
# needs from Debian's archive when it is missing. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ clang googletest libgtest-dev libbenchmark-dev file
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 wine wine64 xvfb xauth imagemagick x11-apps)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The product is a 32-bit program. Some kernels cannot run 32-bit code at all;
# there the 32-bit build is only compiled and its tests run from the 64-bit build.
can_run_32bit=no
if echo 'int main(void){return 0;}' | gcc -m32 -x c - -o /tmp/quotamin-probe32 2>/dev/null &&
   /tmp/quotamin-probe32 2>/dev/null; then
    can_run_32bit=yes
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' ||
        { apt-get update -qq; DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386; }
fi
rm -f /tmp/quotamin-probe32

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
if [ "$can_run_32bit" = yes ]; then
    xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
        set -euo pipefail
        export WINEPREFIX=$PWD/build/windows/wineprefix
        ctest --preset windows
        /usr/lib/wine/wineserver -k || true
    '
else
    echo "This machine cannot run 32-bit programs: the 32-bit Windows build was compiled, its tests ran in the 64-bit build."
fi
