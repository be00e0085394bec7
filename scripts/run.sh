#!/usr/bin/env bash
# Sets up what is missing, builds and starts Plotmason.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "$root/${PLOTMASON_BUILD_DIR:-build}/app/Plotmason" "$@"
