#!/usr/bin/env bash
# Builds the Windows installer of a program file with Debian's NSIS:
#   installer/build.sh <diduvavi.exe> <setup.exe>
# A 64-bit program file gets a 64-bit installer.
set -euo pipefail
program=$(realpath "$1")
out=$(realpath -m "$2")
defines=()
if file -b "$program" | grep -q 'x86-64'; then
    defines+=(-DWIN64)
fi
mkdir -p "$(dirname "$out")"
makensis -V2 -DPROGRAM="$program" -DOUTFILE="$out" "${defines[@]}" "$(dirname "$0")/quotamin.nsi"
echo "Built $out"
