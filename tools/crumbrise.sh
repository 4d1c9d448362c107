#!/usr/bin/env bash
# Sets up a Debian 12 machine for Crumbrise, builds the game and then either
# plays it or runs the whole test suite.
#
#   tools/crumbrise.sh play   install what is missing, build, start the game
#   tools/crumbrise.sh test   install what is missing, build the normal and the
#                             sanitizer build, run every test of both under a
#                             private X server, then fuzz the file loaders
set -euo pipefail

cd "$(dirname "$0")/.."

packages=(
  cmake g++ make pkg-config git
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libdevil-dev
  libopenal-dev libalut-dev libfreetype-dev libbullet-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev libx11-dev libgl1-mesa-dri
  fonts-quicksand clang libclang-rt-14-dev
  xvfb xauth xdotool
)

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$(nproc)"
}

run_tests() {
  # Mesa, X11 and the sound library keep a few allocations until exit by design.
  export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  local status=0
  echo "=== tests: normal build ==="
  ctest --test-dir build -j "$(nproc)" --output-on-failure || status=1
  echo "=== tests: sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) ==="
  ctest --test-dir build-asan -j "$(nproc)" --output-on-failure || status=1
  return $status
}

# --- fuzzing -----------------------------------------------------------------
# Every loader of outside data under libFuzzer (clang, ASan, UBSan) for a
# minute each, one target at a time; a crash, hang or leak fails the run.
fuzz() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCRUMBRISE_FUZZ=ON -DCRUMBRISE_TESTS=OFF
  cmake --build build-fuzz -j "$(nproc)" --target crumbrise_fuzz
  echo "=== fuzzing the loaders ==="
  xvfb-run -a -s "-screen 0 1280x720x24 -noreset" tools/fuzz/run.sh build-fuzz 60
}

case "${1:-}" in
  play)
    install_missing_packages
    build build
    cd build/runtime
    exec ./crumbrise
    ;;
  test)
    install_missing_packages
    build build
    build build-asan -DCRUMBRISE_SANITIZE=ON
    # The X server runs for the tests only; the script itself runs them inside
    # it. Without -noreset the server resets whenever its last client leaves,
    # refusing the next test that connects in that moment.
    xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "$0" run-tests
    fuzz
    ;;
  run-tests)
    run_tests
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
