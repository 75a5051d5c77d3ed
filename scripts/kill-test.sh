#!/usr/bin/env bash
# The long run of the kill test: a child saving the settings and the password
# in a tight loop is killed with SIGKILL at random moments, 10,000 times by
# default, and both files are checked after every kill. The test command runs
# the same test with 1,000 kills.
#   scripts/kill-test.sh [kills]
set -euo pipefail
cd "$(dirname "$0")/.."

kills=${1:-10000}
cmake --preset native >/dev/null
cmake --build --preset native --target reliability_tests
QUOTAMIN_KILLS=$kills build/native/tests/reliability/reliability_tests \
    --gtest_filter='KillMidSaveTest.*'
