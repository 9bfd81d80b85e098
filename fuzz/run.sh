#!/usr/bin/env bash
# make fuzz: builds the libFuzzer targets with clang in BUILD_DIR, runs each for SECONDS seconds,
# one target at a time, under the users' French regional settings, and prints one line per target:
# "NAME: N execs, 0 findings", or the findings and where they are (BUILD_DIR/findings/NAME).
# Each starts from a copy of corpus/NAME and of the files up to 64 KB that seeds.txt names for it,
# in a temporary folder, so the repository is never written. Exits 1 when anything was found.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build-fuzz}
SECONDS_EACH=${2:-60}
JOBS=${JOBS:-2}

mkdir -p "$BUILD_DIR"
log="$BUILD_DIR/build.log"
if ! { cmake -S . -B "$BUILD_DIR" -DMARIVENT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$BUILD_DIR" --target fuzz_targets -j"$JOBS"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: the build failed (whole log: $log)"
    exit 1
fi

# Every target has a seed corpus folder of its name.
targets=$(cd fuzz/corpus && ls -d */ | tr -d /)
work=$(mktemp -d /tmp/marivent-fuzz-run-XXXXXX)
trap 'rm -rf "$work"' EXIT
found_any=0
for name in $targets; do
    corpus="$work/$name"
    cp -r "fuzz/corpus/$name" "$corpus"
    for path in $(sed -n "s/^$name //p" fuzz/seeds.txt); do
        find "$path" -type f -size -65k -exec cp {} "$corpus/" \;
    done
    findings="$BUILD_DIR/findings/$name"
    rm -rf "$findings"
    mkdir -p "$findings"
    run_log="$BUILD_DIR/findings/$name.log"
    export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
    LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 "$BUILD_DIR/bin/fuzz_$name" -max_total_time="$SECONDS_EACH" \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$run_log" 2>&1
    execs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$run_log" | tail -n 1)
    [ -n "$execs" ] || execs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$run_log" | tail -n 1)
    [ -n "$execs" ] || execs="?"
    artefacts=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
                     -o -name 'oom-*' \) | sort)
    count=$(printf '%s' "$artefacts" | grep -c . || true)
    if [ "$count" -eq 0 ] && ! grep -q '^Done [0-9]* runs' "$run_log"; then
        # Stopped without an artefact and without finishing: say so rather than report nothing.
        echo "$name: $execs execs, stopped early without an artefact (log: $run_log)"
        found_any=1
    elif [ "$count" -eq 0 ]; then
        echo "$name: $execs execs, 0 findings"
    else
        echo "$name: $execs execs, $count findings: $(echo $artefacts) (log: $run_log)"
        found_any=1
    fi
done
exit $found_any
