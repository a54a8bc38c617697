#!/usr/bin/env bash
# Quorvel set-up: installs what is missing, builds, makes the data tree, then
#   ./setup.sh play [game options]   starts the game (under xvfb-run when there is no display)
#   ./setup.sh test                  runs the whole test suite, then again under ASan+UBSan, then the fuzzers
set -euo pipefail
cd "$(dirname "$0")"
ACTION="${1:-play}"; shift || true
JOBS="$(nproc)"

PACKAGES="build-essential cmake pkg-config clang libclang-rt-14-dev freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev \
  libgl1-mesa-dri libexpat1-dev libimgui-dev libstb-dev libopenal-dev libsndfile1-dev libx11-dev libxrandr-dev \
  libgtest-dev libbenchmark-dev libboost-graph-dev liblua5.4-dev libluajit-5.1-dev xvfb xauth x11-utils imagemagick \
  libgtk-3-dev openbox xdotool"

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

build() {  # build DIR [cmake options...]
  local dir="$1"; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  cmake --build "$dir" -j "$JOBS"
}

no_direct_rand() {  # all randomness goes through the platform's generator
  if grep -rnE '(^|[^_[:alnum:]:.])(std::)?s?rand[[:space:]]*\(' --include='*.cpp' --include='*.h' \
       app input camera glf math sim world modes tools bench fuzz 2>/dev/null | grep -v 'Sys_'; then
    echo "error: call Sys_Random/Sys_SeedRandom instead of rand/srand"; exit 1
  fi
}

install_missing
mkdir -p build
build build

case "$ACTION" in
  play)
    if [ -z "${DISPLAY:-}" ]; then
      exec xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" ./build/quorvel -noautopause "$@"
    fi
    exec ./build/quorvel "$@"
    ;;
  test)
    no_direct_rand
    # GL tests share one virtual screen for the whole run.
    (cd build && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest -j "$JOBS" --output-on-failure)
    echo "== again under AddressSanitizer + UndefinedBehaviorSanitizer =="
    build build-asan -DQV_SANITIZE=ON -DQV_BENCH=OFF -DQV_GENERATE_DATA=OFF  # the data is the first build's
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # The leak check at exit stops every thread; the software GL driver's rasterizer threads
    # shutting down meanwhile can crash it. Rendering on the calling thread avoids that race.
    export LP_NUM_THREADS=0
    (cd build-asan && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest -j "$JOBS" --output-on-failure)
    echo "== fuzzers =="
    CC=clang CXX=clang++ build build-fuzz -DQV_FUZZ=ON -DQV_TESTS=OFF -DQV_BENCH=OFF -DQV_GENERATE_DATA=OFF
    ./fuzz/run-all.sh build-fuzz "${FUZZ_SECONDS:-20}"
    ;;
  *)
    echo "usage: ./setup.sh play [options] | ./setup.sh test"; exit 2 ;;
esac
