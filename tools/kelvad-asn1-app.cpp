#include "tools/kelvad-asn1-app.h"

#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

#include "asn1/coder_env.h"
#include "asn1/per_decoder.h"
#include "asn1/values.h"
#include "protocol/registry.h"
#include "tools/kelvad-asn1-input.h"

namespace asn1tool {
namespace {

constexpr const char* usage =
    "usage: kelvad-asn1 [--unaligned] MODULE.TYPE [HEX...]\n"
    "       kelvad-asn1 --list [MODULE]\n"
    "Decodes the octets (arguments, else standard input) as one value of the type\n"
    "in aligned PER (--unaligned: unaligned PER) and prints it in value notation,\n"
    "then re-encoded. Accepts blanks, the daemon's \" msg: \" hex dump and a\n"
    "leading TPKT header.\n";

// A PER decoder that remembers which component it was in when it failed, so
// that an operator learns where a message went wrong.
class LocatingDecoder : public ASN1::PERDecoder {
public:
  using PERDecoder::PERDecoder;

  std::string where() const {
    std::string text;
    for (const auto& step : path_) text += (text.empty() || step[0] == '[' ? "" : ".") + step;
    return text;
  }

  bool do_visit(ASN1::CHOICE& value) override {
    const std::size_t depth = path_.size();
    if (PERDecoder::do_visit(value)) return true;
    if (value.selection() >= 0 && unsigned(value.selection()) < value.info()->totalCount)
      path_.insert(path_.begin() + std::ptrdiff_t(depth), value.selectionName());
    return false;
  }
  bool do_visit(ASN1::SEQUENCE_OF_Base& value) override {
    const std::size_t depth = path_.size();
    if (PERDecoder::do_visit(value)) return true;
    // A failing element is dropped with those after it: the size is its index.
    if (path_.size() > depth)
      path_.insert(path_.begin() + std::ptrdiff_t(depth), "[" + std::to_string(value.size()) + "]");
    return false;
  }
  VisitSeqResult visitExtensionRoot(ASN1::SEQUENCE& seq, int index, int optionalBit) override {
    const std::size_t depth = path_.size();
    return track(seq, index, depth, PERDecoder::visitExtensionRoot(seq, index, optionalBit));
  }
  VisitSeqResult visitKnownExtension(ASN1::SEQUENCE& seq, int index, int optionalBit) override {
    const std::size_t depth = path_.size();
    return track(seq, index, depth, PERDecoder::visitKnownExtension(seq, index, optionalBit));
  }

private:
  // Only a failure leaves a name, and failures unwind from the innermost
  // value out: each level puts its name in front of those of the levels below.
  VisitSeqResult track(const ASN1::SEQUENCE& seq, int index, std::size_t depth, VisitSeqResult result) {
    if (result == FAIL) path_.insert(path_.begin() + std::ptrdiff_t(depth), seq.info()->fieldNames[index]);
    return result;
  }

  std::vector<std::string> path_;
};

int list(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string module = args.size() > 1 ? args[1] : "";
  bool any = false;
  for (const auto& entry : protocol::allTypes()) {
    if (!module.empty() && entry.module != module) continue;
    out << entry.module << '.' << entry.name << '\n';
    any = true;
  }
  if (!any) {
    err << "kelvad-asn1: no module named " << module << '\n';
    return 2;
  }
  return 0;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  std::size_t next = 0;
  bool aligned = true;
  if (next < args.size() && (args[next] == "--help" || args[next] == "-h")) {
    out << usage;
    return 0;
  }
  if (next < args.size() && args[next] == "--list") return list(args, out, err);
  if (next < args.size() && args[next] == "--unaligned") {
    aligned = false;
    ++next;
  }
  if (next >= args.size() || args[next].rfind("--", 0) == 0) {
    err << usage;
    return 2;
  }
  const protocol::TypeEntry* type = protocol::findType(args[next]);
  if (!type) {
    err << "kelvad-asn1: unknown type " << args[next] << " (kelvad-asn1 --list shows the known ones)\n";
    return 2;
  }
  const std::string typeName = std::string(type->module) + "." + std::string(type->name);
  ++next;

  std::string text;
  if (next < args.size()) {
    for (; next < args.size(); ++next) text += args[next] + " ";
  } else {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::uint8_t> bytes;
  std::string problem;
  if (!parseHex(text, bytes, problem)) {
    err << "kelvad-asn1: " << problem << '\n';
    return 1;
  }
  const Tpkt tpkt = stripTpkt(bytes);
  if (bytes.empty()) {
    err << "kelvad-asn1: no octets to decode\n";
    return 1;
  }
  if (tpkt == Tpkt::mismatched)
    err << "kelvad-asn1: note: the input starts like a TPKT header, but its length "
        << (std::size_t(bytes[2]) << 8 | bytes[3]) << " is not the " << bytes.size()
        << " octets given; decoding all of them\n";

  std::unique_ptr<ASN1::AbstractData> value(type->info->create(type->info));
  LocatingDecoder decoder(bytes.data(), bytes.data() + bytes.size(), aligned);
  if (!value->accept(decoder)) {
    err << "kelvad-asn1: decode error: the " << bytes.size() << " octets are not a " << typeName << " in "
        << (aligned ? "aligned" : "unaligned") << " PER";
    if (const auto where = decoder.where(); !where.empty()) err << "; the decoder stopped in " << where;
    err << '\n';
    return 1;
  }
  out << *value << '\n';
  std::vector<std::uint8_t> again;
  const ASN1::CoderEnv env(aligned ? ASN1::CoderEnv::per_Aligned : ASN1::CoderEnv::per_Unaligned);
  if (!env.encode(*value, std::back_inserter(again))) {
    err << "kelvad-asn1: the decoded value cannot be encoded again\n";
    return 1;
  }
  out << toHex(again) << '\n';
  if (again != bytes)
    err << "kelvad-asn1: note: the value takes " << again.size() << " of the " << bytes.size()
        << " octets given, or the input is not in canonical form\n";
  return 0;
}

} // namespace asn1tool
