#!/usr/bin/env bash
# The whole test suite: native, sanitizers, the board's CPU under qemu, and the
# fuzz targets for a bounded time. Fails when any configuration fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
configs=${KELVAD_CONFIGS:-native asan ppc fuzz}
jobs=$(nproc)
failed=()
for config in $configs; do
  start=$SECONDS
  echo "=== $config: build"
  if ! "$top/scripts/build.sh" "$config"; then
    failed+=("$config(build)"); continue
  fi
  echo "=== $config: test"
  if ! ctest --test-dir "${KELVAD_BUILD_ROOT:-$top/build}/$config" --output-on-failure -j "$jobs"; then
    failed+=("$config")
  fi
  echo "=== $config: $((SECONDS - start)) s"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED configurations: ${failed[*]}"
  exit 1
fi
echo "all configurations passed: $configs"
