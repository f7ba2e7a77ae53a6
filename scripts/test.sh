#!/usr/bin/env bash
# Sets up the machine, builds the three trees and the release packages (dist/) and runs every
# test (native and Windows unit tests, end-to-end tests under Wine and Xvfb) in one CTest run.
# Exits non-zero on any failure.
#   scripts/test.sh [CTEST ARGS...]     e.g. scripts/test.sh -R mode_test
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh"
# The release packages, which the installer test installs.
bash "$top/scripts/package.sh"
"$top/scripts/wine-prefix.sh" template "$top/build/wine/template"
cd "$top/build"
ctest --output-on-failure -j "${LUMORA_TEST_JOBS:-2}" "$@"
