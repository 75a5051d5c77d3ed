#!/usr/bin/env bash
# Builds the installer of the product (the 32-bit program file) and checks an
# installer under Wine, in a fresh prefix and on a virtual screen of its own:
# a silent install puts the program into Program Files and the all-users Run
# key; a user's log-on then starts it; a silent uninstall removes both.
# A machine that runs no 32-bit code cannot run the 32-bit installer: there the
# same script is built as a 64-bit installer of the 64-bit build and checked.
#
#   installer/test.sh        (from the repository, after the Windows builds)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QUOTAMIN_INSTALLER_SCREEN:-}" ]; then
    source scripts/deps.sh >/dev/null
    installer/build.sh build/windows/ui/diduvavi.exe build/windows/installer/quotamin-setup.exe
    if [ "$QUOTAMIN_CAN_RUN_32BIT" = yes ]; then
        set -- build/windows/ui/diduvavi.exe build/windows/installer/quotamin-setup.exe
    else
        echo "This machine cannot run 32-bit programs: the 32-bit installer was built but is not" \
             "run; the check runs the 64-bit installer of the 64-bit build instead."
        installer/build.sh build/windows64/ui/diduvavi.exe build/windows64/installer/quotamin-setup.exe
        set -- build/windows64/ui/diduvavi.exe build/windows64/installer/quotamin-setup.exe
    fi
    QUOTAMIN_INSTALLER_SCREEN=1 exec xvfb-run -a -s '-screen 0 1024x768x24' bash "$0" "$@"
fi
program=$1 setup=$2
set +e  # every check below runs and is counted, whatever the one before gave

export WINEPREFIX=$PWD/$(dirname "$setup")/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if file -b "$setup" | grep -q 'x86-64'; then
    loader=/usr/lib/wine/wine64
else
    loader=/usr/lib/wine/wine
fi
wine() { "$loader" "$@"; }
settle() { /usr/lib/wine/wineserver -w; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quotamin'
passed=0 failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passed=$((passed + 1))
    else
        echo "FAILED: $what"
        failed=$((failed + 1))
    fi
}
# The data of one registry value, or nothing when it is not there.
value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"; }

rm -rf "$WINEPREFIX"
wine wineboot -i >/dev/null 2>&1
settle

wine "$setup" /S
settle
command=$(value "$run_key" Quotamin)
check "the start-up entry names the program in Program Files ($command)" \
    grep -Eq '^"C:\\Program Files( \(x86\))?\\Quotamin\\diduvavi\.exe"$' <<<"$command"
windows_path=$(tr -d '"' <<<"$command")
installed=$(wine winepath -u "$windows_path" 2>/dev/null)
check "the program file is installed as built" cmp -s "$program" "$installed"
check "the uninstaller is installed" test -f "$(dirname "$installed")/uninstall.exe"
check "Windows lists the uninstaller" test -n "$(value "$uninstall_key" UninstallString)"

# A user logs on: Wine's start-up processing runs what the Run key names.
wine wineboot >/dev/null 2>&1
started() { grep -qs 'OnInitDialog' "$WINEPREFIX/drive_c/quotamin.log"; }
for _ in $(seq 300); do started && break; sleep 0.1; done
check "a user's log-on starts the program" started
/usr/lib/wine/wineserver -k || true
settle

wine "${windows_path%\\*}\\uninstall.exe" /S
settle
check "the uninstall removes the start-up entry" test -z "$(value "$run_key" Quotamin)"
check "the uninstall removes the program and its folder" test ! -e "$(dirname "$installed")"
check "the uninstall removes its own entry" test -z "$(value "$uninstall_key" UninstallString)"
/usr/lib/wine/wineserver -k || true

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
