#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for the given number of seconds
# (default 60), starting from its seeds in fuzz/corpus/<target>/ and its
# dictionary in fuzz/dictionaries/<target>.dict when there is one. Exits
# non-zero when any target finds a crash, a leak, undefined behaviour, a
# timeout or runs out of memory; the input is kept in <build>/fuzz-findings/.
# Environment: PLOTMASON_FUZZ_BUILD_DIR (default build-fuzz).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="${PLOTMASON_FUZZ_BUILD_DIR:-build-fuzz}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

"$root/scripts/setup.sh"
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPLOTMASON_FUZZ=ON -DPLOTMASON_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target plotmason_fuzzers -j"$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/.ci/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

findings="$build/fuzz-findings"
scratch="$build/fuzz-scratch"
mkdir -p "$findings" "$scratch"
failed=()
shopt -s nullglob
for target in "$build"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name="${target##*/fuzz_}"
    # New inputs go to a corpus of the build; the committed seeds stay as they are.
    corpus="$build/fuzz-corpus/$name"
    mkdir -p "$corpus"
    seeds=()
    [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/$name-")
    [ -f "$root/fuzz/dictionaries/$name.dict" ] && options+=(-dict="$root/fuzz/dictionaries/$name.dict")
    log="$build/fuzz-$name.log"
    echo "Fuzzing $name for ${seconds}s"
    # Relative file names in fuzzed inputs land in a scratch folder, not in the tree.
    if (cd "$scratch" && "$target" "${options[@]}" "$corpus" "${seeds[@]}") >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
        coverage="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)"
        echo "  ok: ${runs:-?} runs, ${coverage:-cov: ?}"
    else
        echo "  FINDING in $name (log: $log):"
        grep -E -A 30 'ERROR: |runtime error|broken promise|qFatal|timeout|out-of-memory' "$log" | head -n 60 || tail -n 60 "$log"
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found problems in: ${failed[*]}" >&2
    exit 1
fi
