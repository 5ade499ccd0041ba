#!/bin/sh
# Runs each fuzz target of a fuzz build in turn, one at a time, for a bounded time.
#   scripts/run-fuzzers.sh BUILD_DIR SEED_DIR SECONDS
# New inputs go to BUILD_DIR/corpus/<target> (the seeds in SEED_DIR stay as
# they are); a crash leaves its input in BUILD_DIR/artifacts/<target>/ and the
# script fails. Prints the executions run per target.
build=$1
seeds=$2
seconds=${3:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
for target in pack-text profile-file path-list picture-entry; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus" "$artifacts"
  # A picture may use up to half a gigabyte while it is decoded; more is a fault.
  if "$build/fuzz-$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=1536 \
      -timeout=30 -artifact_prefix="$artifacts/" "$corpus" "$seeds/$target" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log and $artifacts/)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: ${runs:-?} executions in ${seconds} s, $(ls "$corpus" | wc -l) inputs in the corpus: $result"
done
exit $status
