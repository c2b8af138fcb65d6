#!/bin/sh
# The hardening pass, after the ordinary tests:
#  1. every test built with AddressSanitizer and UndefinedBehaviorSanitizer
#     into out-asan/ and run there (leaks included);
#  2. the monkey (a random user of the real windows) built there too, run
#     with a random seed for a bounded time; it prints its seed for replay
#     (out-asan/tests/monkey/lurvik_monkey --seed N --seconds S);
#  3. the fuzz targets built with clang into out-fuzz/ and each run on its
#     seed corpus for a bounded time.
# Environment: LURVIK_MONKEY_SECONDS, seconds of the monkey (default 60, 0
# skips it); LURVIK_FUZZ_SECONDS, seconds per fuzz target (default 60, 0
# skips fuzzing); LURVIK_JOBS, targets fuzzed at once (default 2).
# Any sanitizer report, failing test or fuzz finding fails the script; a
# finding is left in out-fuzz/artifacts/ for replay (out-fuzz/fuzz_<name> <file>).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
FUZZ_SECONDS=${LURVIK_FUZZ_SECONDS:-60}
MONKEY_SECONDS=${LURVIK_MONKEY_SECONDS:-60}
JOBS=${LURVIK_JOBS:-2}

# Qt and fontconfig keep some process-long allocations; only those are
# suppressed. The options apply to the test discovery at build time too.
# Full unwinding at each allocation lets the suppressions see past Qt frames
# built without frame pointers.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$ROOT/fuzz/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
SAN="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# The DS kit is the one out/ built (scripts/dskit.sh finds it up to date):
# built once per run. The sanitizers check what Debian's hardening flags do.
# -O1 with line tables only: reports keep their files and lines, and the
# build, the longest part of the run, takes little more than half the time.
cmake -S . -B out-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLURVIK_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$SAN" -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_EXE_LINKER_FLAGS="$SAN" -DLURVIK_HARDENING=OFF \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DLURVIK_DSKIT_DIR="$ROOT/out/dskit"
cmake --build out-asan
ctest --test-dir out-asan --output-on-failure -j2

if [ "$MONKEY_SECONDS" -gt 0 ]; then
  echo "== The monkey under the sanitizers, $MONKEY_SECONDS s"
  # A sanitizer report, a crash or a leak ends it with a failing status.
  out-asan/tests/monkey/lurvik_monkey --seconds "$MONKEY_SECONDS"
fi

[ "$FUZZ_SECONDS" -gt 0 ] || exit 0

echo "== Fuzz targets, $FUZZ_SECONDS s each"
cmake -S fuzz -B out-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++
cmake --build out-fuzz
mkdir -p out-fuzz/artifacts out-fuzz/logs

# target:dictionary
TARGETS="project:project.dict tile_bitmap:bitmap.dict palette_bitmap:bitmap.dict palette_text:palette_text.dict wave:wave.dict module:module.dict"

fuzz_one() {
  name=$1
  dict=$2
  mkdir -p "out-fuzz/work/$name"
  # New inputs go to work/, so the seeds in the source tree stay as they are.
  "out-fuzz/fuzz_$name" -max_total_time="$FUZZ_SECONDS" -timeout=5 -rss_limit_mb=512 -malloc_limit_mb=128 \
    -print_final_stats=1 -dict="fuzz/$dict" -artifact_prefix="out-fuzz/artifacts/$name-" \
    "out-fuzz/work/$name" "fuzz/corpus/$name" >"out-fuzz/logs/$name.log" 2>&1
}

failed=""
pids=""
running=0
for entry in $TARGETS; do
  name=${entry%%:*}
  dict=${entry#*:}
  fuzz_one "$name" "$dict" &
  pids="$pids $!:$name"
  running=$((running + 1))
  if [ "$running" -ge "$JOBS" ]; then
    for p in $pids; do
      wait "${p%%:*}" || failed="$failed ${p#*:}"
    done
    pids=""
    running=0
  fi
done
for p in $pids; do
  wait "${p%%:*}" || failed="$failed ${p#*:}"
done

for entry in $TARGETS; do
  name=${entry%%:*}
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "out-fuzz/logs/$name.log")
  echo "fuzz_$name: ${runs:-?} inputs"
done
if [ -n "$failed" ]; then
  for name in $failed; do
    echo "== fuzz_$name found a fault:"
    tail -n 60 "out-fuzz/logs/$name.log"
  done
  exit 1
fi
