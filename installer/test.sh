#!/usr/bin/env bash
# Builds the installer of the product (the 32-bit build) and checks an
# installer under Wine, in a fresh prefix and on a virtual screen of its own:
# a silent install puts the program into Program Files and the all-users Run
# key; a user's log-on then starts it; the administrator password is saved for
# the whole computer from the silent option or the password page, or kept when
# there is one; a silent uninstall removes the program and keeps the password.
# A machine that runs no 32-bit code cannot run the 32-bit installer: there the
# same script is built as a 64-bit installer of the 64-bit build and checked.
#
#   installer/test.sh        (from the repository, after the Windows builds)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
if ! quotamin_on_own_screen; then
    installer/build.sh build/windows build/windows/installer/quotamin-setup.exe
    if quotamin_can_run_32bit; then
        set -- build/windows
    else
        echo "This machine cannot run 32-bit programs: the 32-bit installer was built but is not" \
             "run; the check runs the 64-bit installer of the 64-bit build instead."
        installer/build.sh build/windows64 build/windows64/installer/quotamin-setup.exe
        set -- build/windows64
    fi
    quotamin_rerun_on_own_screen 1024x768 "$@"
fi
build=$1
program=$build/ui/diduvavi.exe
setup=$build/installer/quotamin-setup.exe
checker=$build/tests/installer/installer_check.exe
set +e  # every check below runs and is counted, whatever the one before gave

export WINEPREFIX=$PWD/$build/installer/wineprefix
quotamin_wine_environment
loader=$(quotamin_wine_loader "$setup")
wine() { "$loader" "$@"; }
settle() { /usr/lib/wine/wineserver -w; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quotamin'
password_file=$WINEPREFIX/drive_c/windows/qm-password.dat
# Spaces, a slash and quotes for the command line; letters of both cases and
# one beyond ASCII for the case-blind log-in.
password='Blue Kite/9 "é" '
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
install() {
    wine "$setup" /S "$@"
    status=$?
    settle
}
logged() { cat "$WINEPREFIX"/drive_c/Program\ Files*/Quotamin/install.log | grep -qF "$1"; }
unchanged() { cmp -s "$password_file" "$WINEPREFIX/password-before.dat"; }
remember_password() { cp "$password_file" "$WINEPREFIX/password-before.dat"; }

quotamin_new_prefix "$setup"
setup_path=$(wine winepath -w "$PWD/$setup" 2>/dev/null)

# The password file cannot be written: the file beside it that a save writes
# first is a folder.
mkdir "$password_file.new"
install /PASSWORD=x
check "a password that cannot be saved stops the install (exit code $status) before the program" \
    eval '[ "$status" -eq 2 ] && [ -z "$(value "$run_key" Quotamin)" ] && [ ! -e "$password_file" ]'
check "... and its log says why" logged "The administrator password could not be saved \
(C:\windows\qm-password.dat - Can't open file for writing). Nothing is installed."
rmdir "$password_file.new"

install
command=$(value "$run_key" Quotamin)
check "the start-up entry names the program in Program Files ($command)" \
    grep -Eq '^"C:\\Program Files( \(x86\))?\\Quotamin\\diduvavi\.exe"$' <<<"$command"
windows_path=$(tr -d '"' <<<"$command")
installed=$(wine winepath -u "$windows_path" 2>/dev/null)
check "the program file is installed as built" cmp -s "$program" "$installed"
check "the uninstaller is installed" test -f "$(dirname "$installed")/uninstall.exe"
check "Windows lists the uninstaller" test -n "$(value "$uninstall_key" UninstallString)"
check "a silent install without /PASSWORD= writes no password file" test ! -e "$password_file"
check "... and its log says that the initial password stays in force" \
    logged "No administrator password was given (/PASSWORD=): no password file is written"

# A user logs on: Wine's start-up processing runs what the Run key names.
wine wineboot >/dev/null 2>&1
started() { grep -qs 'OnInitDialog' "$WINEPREFIX/drive_c/quotamin.log"; }
for _ in $(seq 300); do started && break; sleep 0.1; done
check "a user's log-on starts the program" started
/usr/lib/wine/wineserver -k || true
settle

install "/PASSWORD=$password"
check "a silent install with /PASSWORD= saves the bytes the program's own store writes" \
    wine "$checker" bytes "$password"
check "... says where in its log, without the password" \
    eval 'logged "The administrator password is saved in C:\windows\qm-password.dat." &&
          ! logged "$password"'
check "... and leaves no helper behind" \
    test -z "$(find "$WINEPREFIX/drive_c" -iname password_setter.exe)"
check "the program refuses the initial password and takes the new one in any letter case" \
    wine "$checker" login "$windows_path" "$password"
/usr/lib/wine/wineserver -k || true
settle

remember_password
install
check "a silent reinstall without /PASSWORD= keeps the password file byte for byte" unchanged
check "... and says so in its log" \
    logged "The administrator password already set in C:\windows\qm-password.dat is kept."
install "/PASSWORD="
check "a blank /PASSWORD= stops a silent install (exit code $status), the password kept" \
    eval '[ "$status" -eq 2 ] && unchanged && logged "The new password cannot be blank."'
install /PASSWORD=quiltbay
check "a silent install with /PASSWORD= replaces a password file there" \
    wine "$checker" bytes quiltbay

remember_password
check "the password page keeps the password file by default" wine "$checker" keep "$setup_path"
check "... byte for byte" unchanged
rm -f "$password_file"
check "the password page refuses a mismatch and a blank password, then saves the new one" \
    wine "$checker" page "$setup_path" 'Red Fox 12'
/usr/lib/wine/wineserver -k || true
settle

remember_password
wine "${windows_path%\\*}\\uninstall.exe" /S
settle
check "the uninstall removes the start-up entry" test -z "$(value "$run_key" Quotamin)"
check "the uninstall removes the program and its folder" test ! -e "$(dirname "$installed")"
check "the uninstall removes its own entry" test -z "$(value "$uninstall_key" UninstallString)"
check "the uninstall keeps the password file" unchanged
/usr/lib/wine/wineserver -k || true

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
