#!/usr/bin/env bash
# Builds kelvad and runs it in the foreground on the simulated board, in a
# sandbox root under build/, on port 20001. Ctrl-C stops it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" native
root="$top/build/sandbox"
mkdir -p "$root/var/run" "$root/var/log" "$root/usr/local/etc"
echo "kelvad: sandbox root $root; board control: KELVAD_ROOT=$root build/native/tools/kelvad-board help"
export KELVAD_ROOT="$root" KELVAD_BOARD=sim
exec "$top/build/native/daemon/kelvad" --port 20001 "$@"
