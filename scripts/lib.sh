# shellcheck shell=bash
# Sourced by the scripts: what they share about Windows programs under Wine,
# Wine prefixes and virtual screens. Defines functions only.

# Whether a Windows program file is a 64-bit one.
quotamin_is_64bit() {
    file -b "$1" | grep -q 'x86-64'
}

# The Wine loader that runs a Windows program file.
quotamin_wine_loader() {
    if quotamin_is_64bit "$1"; then
        echo /usr/lib/wine/wine64
    else
        echo /usr/lib/wine/wine
    fi
}

# Quiet Wine, which installs neither .NET nor Gecko into a new prefix.
quotamin_wine_environment() {
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# Makes the Windows installation in WINEPREFIX with the loader given, and
# waits until Wine is done with it.
quotamin_boot_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$1" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
}

# Makes WINEPREFIX a fresh Windows installation for the program given. With
# "desktop": Wine's virtual desktop (window frames, a task bar and its
# notification area) and the fonts Wine ships, from Debian's fonts-wine,
# where Wine looks first: the system fonts, MS Sans Serif of the dialogs and
# Marlett of the caption buttons.
#   quotamin_new_prefix <program.exe> [desktop]
quotamin_new_prefix() {
    local loader
    loader=$(quotamin_wine_loader "$1")
    quotamin_wine_environment
    rm -rf "$WINEPREFIX"
    quotamin_boot_prefix "$loader"
    if [ "${2:-}" = desktop ]; then
        ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
        "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
        "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
            >/dev/null
        /usr/lib/wine/wineserver -w
    fi
}

# A Unix path as Wine's Z: drive shows it.
quotamin_winpath() {
    printf 'Z:%s' "${1//\//\\}"
}

# A script that wants a virtual screen (Xvfb) of its own, whatever screen it
# was started on, begins with
#   quotamin_on_own_screen || quotamin_rerun_on_own_screen <width>x<height> [arguments]
# The first runs the script again with the arguments, on a new screen; the
# second tells the run on that screen, whose own children get screens of
# their own again.
quotamin_on_own_screen() {
    [ "${QUOTAMIN_OWN_SCREEN:-}" = "$(realpath "$0")" ] || return 1
    unset QUOTAMIN_OWN_SCREEN
}
quotamin_rerun_on_own_screen() {
    local size=$1
    shift
    QUOTAMIN_OWN_SCREEN=$(realpath "$0") exec xvfb-run -a -s "-screen 0 ${size}x24" \
        bash "$0" "$@"
}

# Whether this machine runs 32-bit programs. Some kernels cannot run 32-bit
# code at all; there Wine runs only 64-bit programs.
quotamin_can_run_32bit() {
    local probe status=0
    probe=$(mktemp)
    { echo 'int main(void){return 0;}' | gcc -m32 -x c - -o "$probe" && "$probe"; } \
        >/dev/null 2>&1 || status=1
    rm -f "$probe"
    return "$status"
}
