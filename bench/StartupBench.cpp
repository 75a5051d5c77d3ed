// How long a program takes from its start to its window being shown with the
// status, beside the bare dialog program: the two are started in turn, as the
// session's start-up would start them, in series of runs, and each one is
// timed until its dialog is visible with a status text and it waits for
// input. Prints each series, and the medians over all runs with their ratio.
//
//   startup_bench <bare.exe> <program.exe> [series] [runs per series]

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/WindowDriver.h"

namespace {

using namespace quotamin::e2e;

constexpr int kStatusId = 1034;
// The program's notification-area icon.
constexpr UINT kIconId = 128;

// A process that is ended leaves its notification-area icon behind: the shell
// keeps every icon it was given until it is removed. Removed here, so that
// every start finds the notification area as the first one did, and the
// shell does not grow slower with each start.
void RemoveIconOf(HWND window) {
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = kIconId;
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
}

// From CreateProcess to the program's dialog being shown with its status
// and the program waiting for input. The wait is the system's own: asking
// the window server about the program's windows again and again would take
// the server, which every program under Wine shares, from the program being
// timed.
double StartToShown(const std::string& program) {
    const auto start = std::chrono::steady_clock::now();
    Process process(program);
    ::WaitForInputIdle(process.Handle(), 60000);
    const auto deadline = start + 60s;
    HWND dialog = nullptr;
    for (;;) {
        dialog = FindDialog(process.Id(), "");
        if (dialog != nullptr) {
            if (HWND status = ::GetDlgItem(dialog, kStatusId); status && !Text(status).empty()) {
                break;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw Failure("timed out waiting for the window of " + program);
        }
        ::Sleep(1);
    }
    const std::chrono::duration<double, std::milli> shown =
        std::chrono::steady_clock::now() - start;
    process.Terminate();
    RemoveIconOf(dialog);
    return shown.count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    return times.size() % 2 != 0 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench <bare.exe> <program.exe> [series] [runs]\n");
        return 2;
    }
    const std::string bare = argv[1];
    const std::string program = argv[2];
    const int series = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 11;
    try {
        // One start of each first, not counted: it brings their files and
        // Wine's libraries into the cache.
        StartToShown(bare);
        StartToShown(program);
        std::vector<double> allBare;
        std::vector<double> allProgram;
        // Each run's program time over the bare program's time of the same
        // run: the two ran moments apart, under the same load.
        std::vector<double> pairRatios;
        for (int s = 1; s <= series; ++s) {
            std::vector<double> bareTimes;
            std::vector<double> programTimes;
            for (int run = 0; run < runs; ++run) {
                // Each goes first every other run, so that neither always
                // starts right after the other has ended.
                if (run % 2 == 0) {
                    bareTimes.push_back(StartToShown(bare));
                    programTimes.push_back(StartToShown(program));
                } else {
                    programTimes.push_back(StartToShown(program));
                    bareTimes.push_back(StartToShown(bare));
                }
            }
            const double b = Median(bareTimes);
            const double p = Median(programTimes);
            std::printf("series %d of %d runs: bare %.1f ms, program %.1f ms, ratio %.3f\n", s,
                        runs, b, p, p / b);
            std::fflush(stdout);
            allBare.insert(allBare.end(), bareTimes.begin(), bareTimes.end());
            allProgram.insert(allProgram.end(), programTimes.begin(), programTimes.end());
            for (std::size_t run = 0; run < bareTimes.size(); ++run) {
                pairRatios.push_back(programTimes[run] / bareTimes[run]);
            }
        }
        const double b = Median(allBare);
        const double p = Median(allProgram);
        std::printf(
            "start to window shown, medians of %zu starts each: bare %.1f ms (%.1f to "
            "%.1f), program %.1f ms (%.1f to %.1f), ratio %.3f\n",
            allBare.size(), b, *std::min_element(allBare.begin(), allBare.end()),
            *std::max_element(allBare.begin(), allBare.end()), p,
            *std::min_element(allProgram.begin(), allProgram.end()),
            *std::max_element(allProgram.begin(), allProgram.end()), p / b);
        std::printf("median of the %zu runs' own ratios: %.3f\n", pairRatios.size(),
                    Median(pairRatios));
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
