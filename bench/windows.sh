#!/usr/bin/env bash
# Benchmarks of the Windows program file (not tests), beside a bare dialog
# program built with the same compiler and flags (bench/BareDialog.cpp): the
# two file sizes, the time from start to window shown under Wine with the two
# started in turn, and the work the program does while idle between two
# minute ticks. Needs the Windows builds:
#   cmake --preset windows && cmake --build --preset windows
#   cmake --preset windows64 && cmake --build --preset windows64
#   bench/windows.sh [series] [runs per series] [idle seconds]
# Under Wine it times the 32-bit build where the machine runs 32-bit code, the
# 64-bit build of the same sources where it does not, and says which.
# Other build directories: QUOTAMIN_BUILD_32=... QUOTAMIN_BUILD_64=... bench/windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
series=${1:-3} runs=${2:-11} idle=${3:-30}
if ! quotamin_on_own_screen; then
    build32=${QUOTAMIN_BUILD_32:-build/windows} build64=${QUOTAMIN_BUILD_64:-build/windows64}
    echo "file sizes, linked without symbols:"
    for build in "$build32" "$build64"; do
        program=$build/ui/diduvavi.exe bare=$build/bench/bare_dialog.exe
        [ -f "$program" ] && [ -f "$bare" ] || continue
        echo "  $(file -b "$program" | cut -d' ' -f1-3): program $(stat -c %s "$program")" \
            "bytes, bare dialog program $(stat -c %s "$bare") bytes, ratio" \
            "$(awk -v p="$(stat -c %s "$program")" -v b="$(stat -c %s "$bare")" \
                'BEGIN {printf "%.3f", p / b}')"
    done
    build=$build64 timed="the 64-bit build: this machine runs no 32-bit code"
    if quotamin_can_run_32bit; then
        build=$build32 timed="the 32-bit build"
    fi
    quotamin_rerun_on_own_screen 1280x1024 "$series" "$runs" "$idle" "$build" "$timed"
fi
build=$(realpath "$4") timed=$5
program=$build/ui/diduvavi.exe
export WINEPREFIX=$build/bench/wineprefix
quotamin_new_prefix "$program" desktop
loader=$(quotamin_wine_loader "$program")
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)," \
    "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo), $("$loader" --version)," \
    "load average $(cut -d' ' -f1 /proc/loadavg)"

echo "start to window shown, $timed; $series series of $runs runs each of the bare dialog" \
    "program and the program, started in turn in a warm prefix:"
"$loader" "$build/bench/startup_bench.exe" "$(quotamin_winpath "$build/bench/bare_dialog.exe")" \
    "$(quotamin_winpath "$program")" "$series" "$runs"
echo "load average after the series: $(cut -d' ' -f1 /proc/loadavg)"

# Idle: the program as the session starts it, left alone once its window has
# hidden. What its threads used of the processor and how often they woke up,
# from /proc, over the idle seconds; the minute timer's first tick comes 60 s
# after the start, so none falls inside.
"$loader" "$program" &
pid=$!
log=$WINEPREFIX/drive_c/quotamin.log
for _ in $(seq 600); do grep -qs 'TrayMessage, 0' "$log" && break; sleep 0.1; done
sleep 5
sample() {
    local ticks=0 switches=0
    for task in /proc/$pid/task/*; do
        read -r -a stat <"$task/stat"
        ticks=$((ticks + stat[13] + stat[14]))
        switches=$((switches + $(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")))
    done
    echo "$ticks $switches $(ls /proc/$pid/task | wc -l)"
}
read -r ticks0 switches0 threads <<<"$(sample)"
sleep "$idle"
read -r ticks1 switches1 _ <<<"$(sample)"
hz=$(getconf CLK_TCK)
echo "idle for ${idle} s between start-up and the first minute tick ($threads threads):" \
    "$(((ticks1 - ticks0) * 1000 / hz)) ms of processor time, $((switches1 - switches0)) wake-ups"
grep -c 'OnTimer' "$log" | sed 's/^/minute ticks logged meanwhile: /' || true
kill "$pid"
/usr/lib/wine/wineserver -k || true
