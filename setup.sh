#!/usr/bin/env bash
# Quorvel set-up: installs what is missing, builds, makes the data tree, then
#   ./setup.sh play [game options]   starts the game (under xvfb-run when there is no display)
#   ./setup.sh test                  builds the game and the benchmarks plain, then the tests and the fuzz
#                                    targets once with clang under ASan+UBSan, and runs both
set -euo pipefail
cd "$(dirname "$0")"
ACTION="${1:-play}"; shift || true
JOBS="${JOBS:-$(nproc)}"  # a shared machine may ask for fewer

PACKAGES="build-essential cmake pkg-config clang libclang-rt-14-dev freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev \
  libgl1-mesa-dri libexpat1-dev libimgui-dev libstb-dev libopenal-dev libsndfile1-dev libx11-dev libxrandr-dev libxi-dev \
  libgtest-dev libbenchmark-dev libboost-graph-dev liblua5.4-dev libluajit-5.1-dev xvfb xauth x11-utils imagemagick \
  libgtk-3-dev openbox xfwm4 metacity dbus libxtst-dev xdotool zlib1g-dev lld faketime"

install_missing() {
  local missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  local sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing:$missing"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

build() {  # build DIR TARGET [cmake options...]
  local dir="$1" target="$2"; shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  cmake --build "$dir" -j "$JOBS" --target "$target"
}

install_missing
mkdir -p build
# The plain build: the game and its generated data (and, for CI, the benchmarks).
build build qv_game
[ "$ACTION" = test ] && cmake --build build -j "$JOBS" --target qv_benchmarks

case "$ACTION" in
  play)
    if [ -z "${DISPLAY:-}" ]; then
      exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" ./build/quorvel -noautopause "$@"
    fi
    exec ./build/quorvel "$@"
    ;;
  test)
    tests/checks/source-checks.sh  # randomness only through the platform, no assertion followed by a comma
    echo "== the plain game starts, greets and draws =="
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" tests/app/smoke.sh "$PWD/build/quorvel"
    # One clang tree under AddressSanitizer + UndefinedBehaviorSanitizer serves the
    # tests and the fuzz targets (instrumented for libFuzzer, which the tests ignore);
    # its data is the plain build's.
    CC=clang CXX=clang++ build build-check all -DQV_SANITIZE=ON -DQV_FUZZ=ON -DQV_BENCH=OFF -DQV_GENERATE_DATA=OFF
    # The sanitizers' options, as CTest gives them to every test (tests/tests.cmake), for the fuzzers too.
    . build-check/test-environment.sh
    # GL tests share one virtual screen for the whole run.
    (cd build-check && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest -j "$JOBS" --output-on-failure)
    echo "== fuzzers =="
    ./fuzz/run-all.sh build-check "${FUZZ_SECONDS:-20}" "$JOBS"  # JOBS targets at once
    ;;
  *)
    echo "usage: ./setup.sh play [options] | ./setup.sh test"; exit 2 ;;
esac
