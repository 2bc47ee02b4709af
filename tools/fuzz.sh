#!/bin/sh
# Builds the fuzz targets of tests/fuzz (the readers of a teacher's link, a
# result card and a worksheet request, under libFuzzer with the address and
# undefined-behaviour sanitizers) and runs each for SECONDS, one after the
# other, each in one process on one core. Each starts from a fresh copy of
# its corpus in the build folder, so the corpus in the repository stays as
# it was. Fails when any target finds a crash, a leak, an input that takes
# too long or a broken property; what it found is kept in
# build/fuzz/findings/.
#   tools/fuzz.sh SECONDS [TARGET...]    TARGET: link, link_written, card,
#                                        card_written, sheet (all when none)
set -eu
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: tools/fuzz.sh SECONDS [TARGET...]" >&2; exit 2; }
seconds=$1
shift
targets=${*:-link link_written card card_written sheet}

packages="cmake make clang-14 libfuzzer-14-dev libclang-rt-14-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    $sudo apt-get install -y -qq --no-install-recommends $missing
fi

echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build=build/fuzz
failed=""
for t in $targets; do
    corpus=$build/corpus/$t
    findings=$build/findings/$t
    log=$build/fuzz_$t.log
    rm -rf "$corpus" "$findings"
    mkdir -p "$corpus" "$findings"
    cp tests/fuzz/corpus/"$t"/* "$corpus"/
    dict=""
    case $t in
        link|sheet) dict=-dict=tests/fuzz/link.dict ;;
        card) dict=-dict=tests/fuzz/card.dict ;;
    esac
    echo "== fuzz_$t for $seconds s"
    # An input is too slow past 3 s: the readers take microseconds.
    status=0
    UBSAN_OPTIONS=print_stacktrace=1 "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=3 \
        -rss_limit_mb=1024 -max_len=16384 -print_final_stats=1 \
        -artifact_prefix="$findings/" $dict "$corpus" >"$log" 2>&1 || status=$?
    # shellcheck disable=SC2012
    found=$(ls "$findings" | wc -l)
    last=$(grep -a -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)
    cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    files=$(find "$corpus" -type f | wc -l)
    echo "fuzz_$t: ${rate:-?} exec/s, ${runs:-?} runs, cov ${cov:-?}, ft ${ft:-?}, corpus $files files"
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        grep -a -E 'ERROR|broken|SUMMARY|Test unit written' "$log" | head -n 20 || true
        echo "fuzz_$t FAILED (exit $status; $found finding(s) in $findings; log $log)"
        failed="$failed $t"
    fi
done
ran=$(echo $targets | wc -w)
bad=$(echo $failed | wc -w)
echo "fuzz: $((ran - bad)) passed, $bad failed"
[ -z "$failed" ] || { echo "fuzz: failed:$failed"; exit 1; }
