#include "platform/sim/hal.h"

#include <cerrno>
#include <cstdio>
#include <set>
#include <sstream>

#include "platform/byte_order.h"
#include "platform/sim/models.h"

namespace platform::sim {

namespace {

const char* const kKindNames[HalModel::kKinds] = {"open", "connect", "disable", "write", "read", "other"};

bool parse_number(std::string_view text, long long max, long long& out) {
  if (text.empty() || text.size() > 12) return false;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  out = v;
  return true;
}

std::string hex_byte(unsigned v) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", v & 0xFFu);
  return text;
}

std::string route_text(const HalModel::Route& r) {
  switch (r.what) {
    case HalModel::Route::What::source: return "source:" + std::to_string(r.value);
    case HalModel::Route::What::constant: return "constant:" + hex_byte(unsigned(r.value));
    case HalModel::Route::What::nothing: break;
  }
  return "nothing";
}

}  // namespace

bool HalModel::valid_channel(int c) {
  return (c >= kTrunkFirst && c < kTrunkFirst + kTrunkCount) ||
         (c >= kResourceFirst && c < kResourceFirst + kResourceCount) ||
         (c >= kSharedFirst && c < kSharedFirst + kSharedCount);
}

const char* HalModel::kind_name(Kind kind) { return kKindNames[size_t(kind)]; }

std::optional<HalModel::Kind> HalModel::kind_named(std::string_view name) {
  for (size_t i = 0; i < kKinds; ++i)
    if (name == kKindNames[i]) return Kind(i);
  return std::nullopt;
}

bool HalModel::consume_failure(Kind kind) {
  unsigned& left = failures_[size_t(kind)];
  if (left == 0) return false;
  --left;
  ++failed_;
  return true;
}

int HalModel::open(OpenFile&) {
  ++counts_[size_t(Kind::open)];
  return consume_failure(Kind::open) ? ENODEV : 0;
}

int HalModel::ioctl(OpenFile&, uint32_t request, uintptr_t arg) {
  switch (request) {
    case kMuxConnect:
    case kMuxDisable:
    case kMuxWrite:
    case kMuxRead:
      if (arg == 0) {
        ++failed_;
        errno = EFAULT;
        return -1;
      }
      return mux_request(request, reinterpret_cast<uint8_t*>(arg));
    // Clock selection, SPI, DIP, power and LED requests are added here.
    default:
      ++counts_[size_t(Kind::other)];
      ++failed_;
      errno = ENOTTY;
      return -1;
  }
}

int HalModel::mux_request(uint32_t request, uint8_t* arg) {
  Kind kind = request == kMuxConnect   ? Kind::connect
              : request == kMuxDisable ? Kind::disable
              : request == kMuxWrite   ? Kind::write
                                       : Kind::read;
  ++counts_[size_t(kind)];
  int channel = be::get32s(arg);
  if (kind == Kind::disable && valid_channel(channel)) ++disables_[channel];
  if (consume_failure(kind)) {
    errno = EIO;
    return -1;
  }
  int second = kind == Kind::disable ? 0 : be::get32s(arg + 4);
  bool bad = !valid_channel(channel) || (kind == Kind::connect && !valid_channel(second)) ||
             (kind == Kind::write && (second < 0 || second > 255));
  if (bad) {
    ++failed_;
    errno = EINVAL;
    return -1;
  }
  switch (kind) {
    case Kind::connect: table_[channel] = {Route::What::source, second}; break;
    case Kind::disable: table_.erase(channel); break;
    case Kind::write: table_[channel] = {Route::What::constant, second}; break;
    default: be::put32(arg + 4, carried(channel)); break;
  }
  return 0;
}

HalModel::Route HalModel::route(int destination) const {
  auto it = table_.find(destination);
  return it == table_.end() ? Route{} : it->second;
}

uint8_t HalModel::carried(int channel) const {
  std::set<int> seen;
  for (;;) {
    if (!seen.insert(channel).second) return kNothingByte;  // a loop of connections
    Route r = route(channel);
    if (r.what == Route::What::constant) return uint8_t(r.value);
    if (r.what == Route::What::nothing) return kNothingByte;
    channel = r.value;
  }
}

uint64_t HalModel::disables_of(int destination) const {
  auto it = disables_.find(destination);
  return it == disables_.end() ? 0 : it->second;
}

void HalModel::reset_counts() {
  counts_.fill(0);
  disables_.clear();
  failed_ = 0;
}

void HalModel::reset() {
  reset_counts();
  failures_.fill(0);
  table_.clear();
}

std::string HalModel::command(const Args& args) {
  long long a = 0, b = 0;
  if (!args.empty() && args[0] == "table" && args.size() <= 3) {
    long long from = 0, count = kSharedFirst + kSharedCount;
    if (args.size() >= 2 && !parse_number(args[1], 1 << 30, from)) return error("bad FROM");
    if (args.size() == 3 && !parse_number(args[2], 1 << 30, count)) return error("bad COUNT");
    std::ostringstream list;
    size_t n = 0;
    for (auto it = table_.lower_bound(int(from)); it != table_.end() && it->first < from + count; ++it) {
      ++n;
      if (it->second.what == Route::What::source)
        list << ' ' << it->first << "<-" << it->second.value;
      else
        list << ' ' << it->first << '=' << hex_byte(unsigned(it->second.value));
    }
    return ok("count=" + std::to_string(n) + list.str());
  }
  if (args.size() == 2 && args[0] == "channel") {
    if (!parse_number(args[1], 1 << 30, a) || !valid_channel(int(a)))
      return error("no such channel \"" + std::string(args[1]) + "\"");
    int c = int(a);
    return ok("channel=" + std::to_string(c) + " route=" + route_text(route(c)) +
              " reads=" + hex_byte(carried(c)) + " disables=" + std::to_string(disables_of(c)));
  }
  if (args.size() == 1 && args[0] == "counts") {
    std::ostringstream out;
    for (size_t i = 0; i < kKinds; ++i) out << (i ? " " : "") << kKindNames[i] << '=' << counts_[i];
    out << " failed=" << failed_;
    return ok(out.str());
  }
  if ((args.size() == 2 || args.size() == 3) && args[0] == "fail") {
    auto kind = kind_named(args[1]);
    if (!kind || *kind == Kind::other) return error("no such request \"" + std::string(args[1]) + "\"");
    b = 1;
    if (args.size() == 3 && !parse_number(args[2], 1000000000, b)) return error("bad COUNT");
    fail(*kind, unsigned(b));
    return ok();
  }
  if (args.size() == 1 && args[0] == "reset-counts") {
    reset_counts();
    return ok();
  }
  if (args.size() == 1 && args[0] == "reset") {
    reset();
    return ok();
  }
  return error("usage: hal table [FROM [COUNT]]|channel N|counts|fail REQUEST [COUNT]|reset-counts|reset");
}

std::vector<std::string> HalModel::help() const {
  return {"table [FROM [COUNT]] (count=N then DST<-SRC or DST=0xHH for channels FROM..FROM+COUNT-1)",
          "channel N (route=nothing|source:S|constant:0xHH reads=0xHH disables=K)",
          "counts (requests received by kind, failed ones included)",
          "fail open|connect|disable|write|read [COUNT] (the next COUNT fail, default 1, 0 stops)",
          "reset-counts", "reset (empty table, no counts, no failures)"};
}

std::unique_ptr<DeviceModel> make_hal() { return std::make_unique<HalModel>(); }

}  // namespace platform::sim
