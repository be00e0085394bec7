#!/usr/bin/env bash
# Configures and builds Plotmason. Environment:
#   PLOTMASON_BUILD_DIR   build folder (default: build)
#   PLOTMASON_SANITIZE    ON for an AddressSanitizer/UBSan build
#   PLOTMASON_WERROR      ON to turn warnings into errors
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PLOTMASON_BUILD_DIR:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
# Paths relative to the checkout, so that ccache hits across checkouts.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${PLOTMASON_BUILD_TYPE:-RelWithDebInfo}" \
    -DPLOTMASON_SANITIZE="${PLOTMASON_SANITIZE:-OFF}" -DPLOTMASON_WERROR="${PLOTMASON_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)"
