#!/usr/bin/env bash
# Builds the Debian package, installs it as an administrator would, runs the
# two-user desktop test against the installed program, and removes and purges
# the package again (also when the test fails). Run as root on Debian 12,
# after scripts/deps.sh. Settings, password and log already on the machine are
# put aside for the run and brought back after it.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target package
package=$(ls build/linux/quotamin_*_"$(dpkg --print-architecture)".deb)
screenshots=$PWD/build/linux/screenshots
mkdir -p "$screenshots"

if dpkg-query -W -f='${Status}' quotamin 2>/dev/null | grep -q 'ok installed'; then
    echo "The quotamin package is installed on this machine already; remove it first." >&2
    exit 1
fi
aside=$(mktemp -d)
[ -e /var/lib/quotamin ] && mv /var/lib/quotamin "$aside/lib"
[ -e /var/log/quotamin.log ] && mv /var/log/quotamin.log "$aside/log"
restore() {
    # What the programs wrote, for a look after a failed run.
    cp /var/log/quotamin.log build/linux/e2e-quotamin.log 2>/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quotamin >/dev/null 2>&1 || true
    rm -rf /var/lib/quotamin /var/log/quotamin.log
    [ -e "$aside/lib" ] && mv "$aside/lib" /var/lib/quotamin
    [ -e "$aside/log" ] && mv "$aside/log" /var/log/quotamin.log
    rmdir "$aside" 2>/dev/null || true
}
trap restore EXIT

echo "lintian:"
lintian "$package" | tee build/linux/lintian.txt
! grep -q '^E:' build/linux/lintian.txt

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$package" >/dev/null
/usr/bin/python3 tests/linux-e2e/e2e.py "$screenshots"
