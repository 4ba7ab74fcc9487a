#!/usr/bin/env bash
# build.sh CONFIG: configures and builds one configuration into build/CONFIG.
#   native  optimised with debug info
#   asan    AddressSanitizer + UndefinedBehaviorSanitizer
#   ppc     the board's CPU, cross-built; tests run under qemu-ppc
#   fuzz    libFuzzer targets, built with clang
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
config=${1:?usage: build.sh native|asan|ppc|fuzz}
dir="${KELVAD_BUILD_ROOT:-$top/build}/$config"
args=(-G Ninja -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "$config" in
  native) ;;
  asan)   args+=(-DKELVAD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1") ;;
  ppc)    args+=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/powerpc-linux-gnu.cmake") ;;
  fuzz)   args+=(-DKELVAD_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "build.sh: unknown configuration '$config'" >&2; exit 2 ;;
esac
cmake "${args[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
