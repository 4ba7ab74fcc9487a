#!/usr/bin/env bash
# Runs the codec benchmark and Erlang/OTP's aligned PER codec on the same
# values, one after the other, so that both see the same machine load.
# usage: bench/asn1/side_by_side.sh [build folder, default build/native]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/native}
"$build/bench/asn1/asn1_codec_bench" --benchmark_min_time=1 \
  --benchmark_counters_tabular=true --benchmark_filter='Success|Create|Large'
escript "$top/bench/asn1/erlang_reference.escript" "$top/tests/asn1/lgcp_subset.asn"
