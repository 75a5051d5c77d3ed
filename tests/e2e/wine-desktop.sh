# Sourced: makes a fresh Wine prefix in WINEPREFIX with Wine's virtual desktop
# (window frames, a task bar and its notification area) and the fonts Wine
# ships, and sets `loader` to the Wine loader for the program given.
#   quotamin_wine_desktop <program.exe>
quotamin_wine_desktop() {
    export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    if file -b "$1" | grep -q 'x86-64'; then
        loader=/usr/lib/wine/wine64
    else
        loader=/usr/lib/wine/wine
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$loader" wineboot -i >/dev/null 2>&1
    # Debian's fonts-wine, where Wine looks first: the system fonts, MS Sans
    # Serif of the dialogs and Marlett of the caption buttons.
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
    /usr/lib/wine/wineserver -w
}

# A Unix path as Wine's Z: drive shows it.
quotamin_winpath() { printf 'Z:%s' "${1//\//\\}"; }
