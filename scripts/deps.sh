#!/usr/bin/env bash
# The bootstrap of a fresh Debian 12 machine: installs from Debian's archive
# what the builds and tests need when it is missing, and Wine's 32-bit half
# where the machine runs 32-bit programs. Run as root, once, by the run and
# test commands; the other scripts expect it done.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

quotamin_packages=(cmake ninja-build g++ gcc-multilib clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev file
                   g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
                   binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth imagemagick nsis
                   qt6-base-dev qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra openbox tint2
                   dbus-daemon python3-dbusmock
                   python3-pyatspi gir1.2-atspi-2.0 at-spi2-core faketime lintian xdotool x11-utils)
quotamin_missing=()
for p in "${quotamin_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || quotamin_missing+=("$p")
done
if [ ${#quotamin_missing[@]} -gt 0 ]; then
    echo "Installing: ${quotamin_missing[*]}"
    dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${quotamin_missing[@]}"
fi

if quotamin_can_run_32bit &&
   ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386
fi
