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

apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@" >/dev/null; }
fail() { echo "FAILED: $1" >&2; exit 1; }
state() { stat -c '%a %U:%G %n' /var/lib/quotamin /var/lib/quotamin/qm-password.dat /var/log/quotamin.log; }

apt_get install "./$package"
/usr/bin/python3 tests/linux-e2e/e2e.py "$screenshots"

# The package over itself, removed, and purged: the files the users' sessions
# left stay as they are until the purge.
kept=$(state; md5sum /var/lib/quotamin/qm-*.dat)
dpkg -i "$package" >/dev/null
[ "$(state; md5sum /var/lib/quotamin/qm-*.dat)" = "$kept" ] ||
    fail "the package installed over itself: saw $(state), expected $kept"
[ -x /usr/bin/quotamin ] || fail "the program after the install over itself"
apt_get remove quotamin
# The autostart entry is a configuration file, kept until the purge; desktops
# skip it while its TryExec program is missing.
[ ! -e /usr/bin/quotamin ] && grep -qx 'TryExec=/usr/bin/quotamin' /etc/xdg/autostart/quotamin.desktop ||
    fail "the removal leaves the program, or an autostart entry without TryExec"
[ "$(state; md5sum /var/lib/quotamin/qm-*.dat)" = "$kept" ] ||
    fail "the removal: saw $(state), expected the files kept: $kept"
apt_get purge quotamin
[ ! -e /var/lib/quotamin ] && [ ! -e /var/log/quotamin.log ] && [ ! -e /etc/xdg/autostart/quotamin.desktop ] ||
    fail "the purge leaves $(ls -d /var/lib/quotamin /var/log/quotamin.log /etc/xdg/autostart/quotamin.desktop 2>/dev/null)"
echo "ok: installed over itself, removed (settings, password and log kept), purged (gone)"
