#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
# Usage: scripts/test.sh [preset]   (default: ci, warnings as errors; "sanitize" for ASan + UBSan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-ci}
scripts/deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
