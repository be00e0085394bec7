#!/usr/bin/env bash
# Sets up what is missing, builds with warnings as errors and runs the whole suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
PLOTMASON_WERROR=ON "$root/scripts/build.sh"
build="${PLOTMASON_BUILD_DIR:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
