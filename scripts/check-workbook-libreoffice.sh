#!/usr/bin/env bash
# Checks that LibreOffice Calc reads the Excel workbook that Plotmason writes:
# the workbook test keeps its sample, soffice converts it to CSV headless, and
# the CSV must hold the sample's names and numbers while soffice reports no
# repair or error. Installs libreoffice-calc when it is missing (a few minutes).
# The build folder is $PLOTMASON_BUILD_DIR, by default build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PLOTMASON_BUILD_DIR:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

if ! command -v soffice >/dev/null 2>&1; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing libreoffice-calc"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        libreoffice-calc >/dev/null
fi

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target tst_workbookwriter >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sample="$work/sample.xlsx"

if ! PLOTMASON_KEEP_WORKBOOK="$sample" QT_QPA_PLATFORM=offscreen \
    "$build/tests/core/io/tst_workbookwriter" isReadByOpenpyxl >"$work/test.log" 2>&1; then
    cat "$work/test.log"
    echo "FAIL: the workbook test did not pass" >&2
    exit 1
fi

# Comma, double quote, UTF-8, English number format, and the stored values
# rather than the displayed ones (token 9), so that no digits are cut off.
filter='csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,false,false'
if ! soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
    --convert-to "$filter" --outdir "$work/out" "$sample" >"$work/soffice.log" 2>&1; then
    cat "$work/soffice.log"
    echo "FAIL: soffice could not convert the workbook" >&2
    exit 1
fi
# The missing Java runtime is LibreOffice's own business, not the workbook's.
if grep -v -i 'javaldx' "$work/soffice.log" | grep -q -i -E 'repair|corrupt|error|fail|warn'; then
    cat "$work/soffice.log"
    echo "FAIL: soffice complained about the workbook" >&2
    exit 1
fi

/usr/bin/python3 - "$work/out/sample.csv" "$sample.expected.json" <<'EOF'
import csv, json, math, sys

with open(sys.argv[1], newline="", encoding="utf-8") as f:
    rows = list(csv.reader(f))
with open(sys.argv[2], encoding="utf-8") as f:
    expected = json.load(f)

problems = []
for i, name in enumerate(expected["names"]):
    if rows[0][2 * i] != name:
        problems.append("name %d: %r instead of %r" % (i, rows[0][2 * i], name))
for column, values in enumerate(expected["columns"]):
    for index, value in enumerate(values):
        row = rows[3 + index] if 3 + index < len(rows) else []
        cell = row[column] if column < len(row) else ""
        if value is None:
            if cell != "":
                problems.append("row %d column %d: %r instead of an empty cell" % (4 + index, column + 1, cell))
        elif cell == "" or not math.isclose(float(cell), value, rel_tol=1e-14, abs_tol=0.0):
            problems.append("row %d column %d: %r instead of %r" % (4 + index, column + 1, cell, value))
count = sum(1 for values in expected["columns"] for value in values if value is not None)
if problems:
    print("FAIL: LibreOffice read other values:\n  " + "\n  ".join(problems), file=sys.stderr)
    sys.exit(1)
print("OK: LibreOffice read %d names and %d numbers as written" % (len(expected["names"]), count))
EOF
