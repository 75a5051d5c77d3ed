// How long the program takes from its start to its window being shown with
// the status: the process is created as the session's start-up would create
// it, and its main window is watched for every millisecond. Prints each run
// and the median, in milliseconds.
//
//   e2e_startup_bench <program.exe> [runs]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "tests/e2e/WindowDriver.h"

int main(int argc, char** argv) {
    using namespace quotamin::e2e;
    if (argc < 2) {
        std::cerr << "usage: e2e_startup_bench <program.exe> [runs]\n";
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    std::vector<double> times;
    try {
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            Process program(argv[1]);
            const HWND main = WaitFor(
                [&]() -> HWND {
                    HWND window = FindDialog(program.Id(), "");
                    if (window == nullptr) {
                        ::Sleep(1);
                    }
                    return window;
                },
                60s, "the main window");
            const std::chrono::duration<double, std::milli> shown =
                std::chrono::steady_clock::now() - start;
            Expect(!Text(Control(main, 1034)).empty(), "the status is shown");
            times.push_back(shown.count());
            std::cout << "run " << run + 1 << ": " << shown.count() << " ms" << std::endl;
            program.Terminate();
        }
    } catch (const Failure& failure) {
        std::cerr << failure.what() << "\n";
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::cout << "median of " << runs << " runs: " << times[times.size() / 2] << " ms (fastest "
              << times.front() << " ms, slowest " << times.back() << " ms)\n";
    return 0;
}
