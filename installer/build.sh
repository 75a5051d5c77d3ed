#!/usr/bin/env bash
# Builds the Windows installer of a program file with Debian's NSIS:
#   installer/build.sh <build directory> <setup.exe>
# from the build's program file (ui/diduvavi.exe) and its password helper
# (installer/password_setter.exe). A 64-bit build gets a 64-bit installer.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
build=$(realpath "$1")
out=$(realpath -m "$2")
program=$build/ui/diduvavi.exe
setter=$build/installer/password_setter.exe
defines=()
if quotamin_is_64bit "$program"; then
    defines+=(-DWIN64)
fi
mkdir -p "$(dirname "$out")"
makensis -V2 -DPROGRAM="$program" -DPASSWORD_SETTER="$setter" -DOUTFILE="$out" "${defines[@]}" \
    "$(dirname "$0")/quotamin.nsi"
echo "Built $out"
