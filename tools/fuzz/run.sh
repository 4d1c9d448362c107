#!/usr/bin/env bash
# Runs every fuzz target of a CRUMBRISE_FUZZ build for a bounded time, as
# many at once as there are cores (each fuzzer uses one), from its seeds and
# the kept regression inputs. Needs an X
# server (DISPLAY) for the GL targets. Fails when any target finds a crash,
# a hang or runaway memory; the input is left in <build>/fuzz-findings/.
#
#   tools/fuzz/run.sh <build-dir> [seconds per target]
set -uo pipefail

build=$(realpath "$1")
seconds=${2:-60}
source_dir=$(realpath "$(dirname "$0")/../..")
fuzz_dir=$build/tools/fuzz
findings=$build/fuzz-findings
mkdir -p "$findings"

# Leaks inside the libraries that the game cannot reach are listed there, with why.
export LSAN_OPTIONS="suppressions=$source_dir/tools/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Thread-local blocks are left to the C library's own pointers, as in the
# test run (tools/crumbrise.sh says why).
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:intercept_tls_get_addr=0"
export ALSOFT_DRIVERS=null

# Biggest input each target is given: a little above its largest seed.
declare -A max_len=([config]=4096 [model]=65536 [collision]=65536 [image]=32768 [wav]=32768 [font]=131072)

# Assimp's COLLADA reader reserves what a file's count attributes claim (a
# few bytes of text can ask for gigabytes) before it finds the data is not
# there; in the game that allocation either succeeds lazily or throws, which
# Assimp turns into a refused file and the game into "Failed to open Model".
# The model targets therefore run in a child process that may run out of
# memory: such inputs are passed over, crashes still fail.
declare -A extra=([model]="-fork=1 -ignore_ooms=1" [collision]="-fork=1 -ignore_ooms=1")

# One target; what it reports goes to $findings/<target>.report, and its
# status is the run's verdict on it.
fuzz_one() {
  local target=$1 corpus=$build/fuzz-corpus/$1
  mkdir -p "$corpus"
  local inputs=("$corpus" "$fuzz_dir/seeds/$target")
  [ -d "$source_dir/tests/fuzz/inputs/$target" ] && inputs+=("$source_dir/tests/fuzz/inputs/$target")
  rm -f "$findings/$target"-*
  {
    echo "=== fuzz_$target: ${seconds}s ==="
    if "$fuzz_dir/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
         -malloc_limit_mb=2048 -max_len="${max_len[$target]}" -print_final_stats=1 ${extra[$target]:-} \
         -artifact_prefix="$findings/$target-" "${inputs[@]}" 2>"$findings/$target.log" \
       && ! ls "$findings/$target"-{crash,leak,timeout}-* >/dev/null 2>&1; then
      grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE|INFO: exiting' "$findings/$target.log" | tail -n 1
    elif [ -n "${extra[$target]:-}" ] && ! ls "$findings/$target"-{crash,leak,timeout}-* >/dev/null 2>&1; then
      echo "fuzz_$target: only inputs that ran out of memory inside Assimp (passed over)"
    else
      tail -n 60 "$findings/$target.log"
      echo "fuzz_$target found a fault; the input is in $findings/"
      return 1
    fi
  } > "$findings/$target.report"
}

targets=(config model collision image wav font)
cores=$(nproc)
declare -A job
status=0
for ((first = 0; first < ${#targets[@]}; first += cores)); do
  for target in "${targets[@]:first:cores}"; do
    fuzz_one "$target" &
    job[$target]=$!
  done
  for target in "${targets[@]:first:cores}"; do
    wait "${job[$target]}" || status=1
    cat "$findings/$target.report"
  done
done
exit $status
