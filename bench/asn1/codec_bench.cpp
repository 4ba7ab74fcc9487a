// Aligned PER encode and decode, measured separately, of (a) the success
// response, (b) a create command, (c) a list of 100 entries. Decoding makes
// a fresh value each time, as the control server does.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/LgcpSubset.h"

namespace {

using namespace LgcpSubset;
using Bytes = std::vector<std::uint8_t>;

Message successResponse() {
  Message m;
  m.set_seq(5);
  m.set_slot(3);
  m.get_pdu().get_response().set_success(ASN1::Null());
  return m;
}

Message createTrunk() {
  Message m;
  m.set_seq(7);
  m.set_slot(10);
  TrunkParams& t = m.get_pdu().get_command().get_create().get_trunk();
  t.set_trunk(0);
  t.set_timeslot(5);
  return m;
}

EntryList largeValue() {
  EntryList list;
  for (int i = 0; i < 100; ++i) {
    Entry e;
    e.set_name("entry-" + std::to_string(i));
    e.set_id(100000 + i * 37);
    e.set_weight(unsigned(i * 600));
    e.set_label("label " + std::to_string(i % 10));
    if (i % 3 == 0) e.set_note("every third one has a note");
    list.push_back(e);
  }
  return list;
}

template <class T>
void encodeBench(benchmark::State& state, const T& value) {
  const ASN1::CoderEnv env;
  Bytes out;
  out.reserve(4096);
  for (auto _ : state) {
    out.clear();
    if (!env.encode(value, std::back_inserter(out))) state.SkipWithError("encode failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = double(out.size());
  state.counters["per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

template <class T>
void decodeBench(benchmark::State& state, const T& value) {
  const ASN1::CoderEnv env;
  Bytes wire;
  env.encode(value, std::back_inserter(wire));
  for (auto _ : state) {
    T decoded;
    if (!env.decode(wire.begin(), wire.end(), decoded)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(&decoded);
  }
  state.counters["per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

template <class T>
void roundTripBench(benchmark::State& state, const T& value) {
  const ASN1::CoderEnv env;
  Bytes out;
  out.reserve(4096);
  for (auto _ : state) {
    out.clear();
    env.encode(value, std::back_inserter(out));
    T decoded;
    if (!env.decode(out.begin(), out.end(), decoded)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(&decoded);
  }
  state.counters["per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_EncodeSuccessResponse(benchmark::State& s) { encodeBench(s, successResponse()); }
void BM_DecodeSuccessResponse(benchmark::State& s) { decodeBench(s, successResponse()); }
void BM_RoundTripSuccessResponse(benchmark::State& s) { roundTripBench(s, successResponse()); }
void BM_EncodeCreateCommand(benchmark::State& s) { encodeBench(s, createTrunk()); }
void BM_DecodeCreateCommand(benchmark::State& s) { decodeBench(s, createTrunk()); }
void BM_RoundTripCreateCommand(benchmark::State& s) { roundTripBench(s, createTrunk()); }
void BM_EncodeLargeList(benchmark::State& s) { encodeBench(s, largeValue()); }
void BM_DecodeLargeList(benchmark::State& s) { decodeBench(s, largeValue()); }
void BM_RoundTripLargeList(benchmark::State& s) { roundTripBench(s, largeValue()); }

BENCHMARK(BM_EncodeSuccessResponse);
BENCHMARK(BM_DecodeSuccessResponse);
BENCHMARK(BM_RoundTripSuccessResponse);
BENCHMARK(BM_EncodeCreateCommand);
BENCHMARK(BM_DecodeCreateCommand);
BENCHMARK(BM_RoundTripCreateCommand);
BENCHMARK(BM_EncodeLargeList);
BENCHMARK(BM_DecodeLargeList);
BENCHMARK(BM_RoundTripLargeList);

} // namespace

BENCHMARK_MAIN();
