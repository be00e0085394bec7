#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Plotmason
# need. Quiet and quick when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-svg-dev qt6-pdf-dev libqt6sql6-sqlite qt6-tools-dev libgl-dev
    # reading the drawing of PDF pages
    libqpdf-dev
    # reading the tick labels of chart pictures (OCR, Apache-2.0)
    libtesseract-dev libleptonica-dev tesseract-ocr-eng
    # reading project JSON as a stream of events
    rapidjson-dev

    # Qt's own dialog texts in the interface languages
    qt6-translations-l10n

    # the ZIP writer's CRC-32
    zlib1g-dev
    # tools the tests use to check what the program writes
    sqlite3 python3 python3-openpyxl librsvg2-bin poppler-utils unzip
    # the benchmark's baseline talks to SQLite directly
    libsqlite3-dev
    # libFuzzer with the sanitizers (scripts/fuzz.sh)
    clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
