#!/usr/bin/env bash
# Sets up a Debian 12 machine for Crumbrise, builds the game and then plays
# it, packages it or runs the whole test suite.
#
#   tools/crumbrise.sh play      install what is missing, build what the game
#                                needs (the game, its data), start the game
#   tools/crumbrise.sh package   install what is missing, build, and make the
#                                Debian package build/crumbrise_<version>_<arch>.deb
#   tools/crumbrise.sh test      install what is missing, build the normal and the
#                                sanitizer build, run every test of both under a
#                                private X server, make and check the Debian
#                                package and test it installed (as root), then
#                                fuzz the file loaders
set -euo pipefail

cd "$(dirname "$0")/.."

# What configuring, building and running the game takes.
packages=(
  cmake g++ make pkg-config git
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libdevil-dev
  libopenal-dev libalut-dev libfreetype-dev libbullet-dev libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev libx11-dev libgl1-mesa-dri
  fonts-quicksand
)
# What making the Debian package takes besides: CPack's dependency list
# comes from dpkg-shlibdeps, which CPack calls on what `file` calls ELF.
package_packages=(dpkg-dev file)
# What the tests take besides: a private X server and input, the fuzzer's
# compiler, the package's checkers.
test_packages=(
  clang libclang-rt-14-dev
  xvfb xauth xdotool
  lintian desktop-file-utils appstream
)

install_missing_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

# build DIR [--target T] [CMAKE OPTION...]: configures and builds DIR, all of
# it or the one target.
build() {
  local dir=$1 target=()
  shift
  if [ "${1:-}" = --target ]; then
    target=(--target "$2")
    shift 2
  fi
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$(nproc)" "${target[@]}"
}

run_tests() {
  # Mesa, X11 and the sound library keep a few allocations until exit by design.
  export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer.supp:print_suppressions=0"
  # The sanitizer runtime's own record of thread-local blocks is off: for a
  # block the C library put 16 bytes past a page start it reads a header that
  # is not there, and the leak check at exit crashes scanning a made-up range
  # (tests/sanitizer shows it). The leak check still reaches those blocks
  # through the C library's own pointers.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # One test more than there are cores: the windowed tests take turns on the
  # display and spend most of their time waiting on the game's clock, with
  # the game held to thirty frames a second.
  local status=0 jobs=$(( $(nproc) + 1 ))
  echo "=== tests: normal build ==="
  ctest --test-dir build -j "$jobs" --output-on-failure || status=1
  echo "=== tests: sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) ==="
  ctest --test-dir build-asan -j "$jobs" --output-on-failure || status=1
  return $status
}

# --- the Debian package --------------------------------------------------------
# The package of a built tree; prints its path.
make_package() {
  local dir=$1 version
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
  (cd "$dir" && cpack -G DEB) >&2 || return 1
  echo "$dir/crumbrise_${version}_$(dpkg --print-architecture).deb"
}

# The package checked as Debian checks packages, then installed with apt and
# started from another directory under the X server with a player's own
# settings, and purged again, whatever the checks said.
check_package() {
  local dir=$1 deb contents
  echo "=== the Debian package ==="
  deb=$(make_package "$dir")
  dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Architecture|Depends|Installed-Size):'
  lintian --display-info --fail-on error,warning "$deb"
  contents=$(mktemp -d)
  dpkg-deb -x "$deb" "$contents"
  desktop-file-validate "$contents"/usr/share/applications/crumbrise.desktop
  appstreamcli validate --no-net --pedantic "$contents"/usr/share/metainfo/*.metainfo.xml
  rm -rf "$contents"
  echo "lintian, desktop-file-validate and appstreamcli found nothing to complain about"

  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! sudo -n true 2>/dev/null; then
      echo "=== SKIPPED: the installed package: apt needs root or sudo without a password ==="
      return 0
    fi
    sudo="sudo -n"
  fi
  if dpkg-query -W -f='${Status}' crumbrise 2>/dev/null | grep -q "install ok installed"; then
    echo "=== SKIPPED: the installed package: crumbrise is installed on this machine already; left as it is ==="
    return 0
  fi
  echo "=== the installed package ==="
  (
    purge() {
      local status=$?
      DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q crumbrise > /dev/null
      left_behind "$deb" || status=1
      exit $status
    }
    trap purge EXIT
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$(realpath "$deb")"
    ALSOFT_DRIVERS=null CRUMBRISE_VSYNC=0 xvfb-run -a -s "-screen 0 1280x720x24 -noreset" \
      "$dir/tests/packaging/installed_game_tests"
  )
}

# After the purge: no file of the package is left, nor any of its own folders
# (the ones shared with other packages, such as share/icons, stay).
left_behind() {
  local path status=0 known
  while read -r path; do
    path=${path#.}
    case "$path" in
      */) [[ "$path" == *crumbrise* ]] || continue ;;
    esac
    if [ -e "$path" ] || [ -L "$path" ]; then
      echo "left behind after the purge: $path"
      status=1
    fi
  done < <(dpkg-deb --fsys-tarfile "$1" | tar -t)
  known=$(dpkg-query -W -f='${Status}' crumbrise 2>/dev/null || true)
  if [ -n "$known" ] && [[ "$known" != *not-installed* ]]; then
    echo "dpkg still has crumbrise after the purge: $known"
    status=1
  fi
  [ $status -eq 0 ] && echo "purged: nothing of the package is left"
  return $status
}

# --- fuzzing -----------------------------------------------------------------
# Every loader of outside data under libFuzzer (clang, ASan, UBSan) for a
# minute each, as many targets at once as there are cores; a crash, hang or
# leak fails the run.
fuzz() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCRUMBRISE_FUZZ=ON -DCRUMBRISE_TESTS=OFF
  cmake --build build-fuzz -j "$(nproc)" --target crumbrise_fuzz
  echo "=== fuzzing the loaders ==="
  xvfb-run -a -s "-screen 0 1280x720x24 -noreset" tools/fuzz/run.sh build-fuzz 60
}

case "${1:-}" in
  play)
    install_missing_packages "${packages[@]}"
    # Only the game and its data (with their generator): the tests, tools and
    # benchmarks wait until they are asked for.
    build build --target crumbrise
    cd build/runtime
    exec ./crumbrise
    ;;
  package)
    install_missing_packages "${packages[@]}" "${package_packages[@]}"
    build build
    echo "Made $(make_package build)"
    ;;
  test)
    install_missing_packages "${packages[@]}" "${package_packages[@]}" "${test_packages[@]}"
    build build
    build build-asan -DCRUMBRISE_SANITIZE=ON
    # The X server runs for the tests only; the script itself runs them inside
    # it. Without -noreset the server resets whenever its last client leaves,
    # refusing the next test that connects in that moment.
    xvfb-run -a -s "-screen 0 1280x720x24 -noreset" "$0" run-tests
    check_package build
    fuzz
    ;;
  run-tests)
    run_tests
    ;;
  *)
    echo "usage: $0 play|package|test" >&2
    exit 2
    ;;
esac
