# Sourced by the run and test commands: installs from Debian's archive what the
# builds and tests need when it is missing (and what a command sourcing this
# names in quotamin_extra_packages), and tells whether this machine can run
# 32-bit programs (QUOTAMIN_CAN_RUN_32BIT=yes or no).

quotamin_packages=(cmake ninja-build g++ gcc-multilib clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev file
                   g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
                   binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb xauth imagemagick nsis
                   qt6-base-dev qt6-qpa-plugins fonts-dejavu-core fonts-dejavu-extra
                   dbus-daemon python3-dbusmock
                   ${quotamin_extra_packages[@]+"${quotamin_extra_packages[@]}"})
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

# The product is a 32-bit program. Some kernels cannot run 32-bit code at all;
# there Wine runs only the 64-bit build of the same sources.
QUOTAMIN_CAN_RUN_32BIT=no
if echo 'int main(void){return 0;}' | gcc -m32 -x c - -o /tmp/quotamin-probe32 2>/dev/null &&
   /tmp/quotamin-probe32 2>/dev/null; then
    QUOTAMIN_CAN_RUN_32BIT=yes
    if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq wine32:i386
    fi
fi
rm -f /tmp/quotamin-probe32
