#include "asn1/avn_encoder.h"

#include <cwchar>
#include <ostream>
#include <sstream>

#include "asn1/values.h"

namespace ASN1 {

void AVNEncoder::indent(int blanks) {
  for (int i = 0; i < blanks; ++i) os_.put(' ');
}

bool AVNEncoder::do_visit(const AbstractData&) { return false; }

bool AVNEncoder::do_visit(const Null&) {
  os_ << "NULL";
  return os_.good();
}

bool AVNEncoder::do_visit(const BOOLEAN& value) {
  os_ << (value.getValue() ? "TRUE" : "FALSE");
  return os_.good();
}

bool AVNEncoder::do_visit(const INTEGER& value) {
  const ConstrainedInfo* ci = value.info();
  if (ci->constraintKind != Unconstrained && ci->lowerBound >= 0)
    os_ << unsigned(value.getValue());
  else
    os_ << value.getValue();
  return os_.good();
}

bool AVNEncoder::do_visit(const IntegerWithNamedNumber& value) {
  const std::string_view name = value.getName();
  if (name.empty()) return do_visit(static_cast<const INTEGER&>(value));
  os_ << name;
  return os_.good();
}

bool AVNEncoder::do_visit(const ENUMERATED& value) {
  const std::string_view name = value.getName();
  if (name.empty())
    os_ << value.asInt();
  else
    os_ << name;
  return os_.good();
}

bool AVNEncoder::do_visit(const OBJECT_IDENTIFIER& value) {
  os_ << "{ ";
  for (const std::uint32_t arc : value.arcs()) os_ << arc << ' ';
  os_ << '}';
  return os_.good();
}

bool AVNEncoder::do_visit(const BIT_STRING& value) {
  os_ << '\'';
  for (unsigned i = 0; i < value.size(); ++i) os_.put(value[i] ? '1' : '0');
  os_ << "'B";
  return os_.good();
}

bool AVNEncoder::do_visit(const OCTET_STRING& value) {
  static const char digits[] = "0123456789abcdef";
  os_ << '\'';
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (i) os_.put(' ');
    os_.put(digits[value[i] >> 4]);
    os_.put(digits[value[i] & 0xF]);
  }
  os_ << "'H";
  os_ << std::dec;
  os_.fill(' ');
  return os_.good();
}

bool AVNEncoder::do_visit(const AbstractString& value) {
  os_ << '"';
  os_.write(value.data(), std::streamsize(value.size()));
  os_ << '"';
  return os_.good();
}

bool AVNEncoder::do_visit(const BMPString& value) {
  std::string multibyte;
  std::mbstate_t state{};
  bool converted = true;
  for (const wchar_t ch : value) {
    char buf[16];
    const std::size_t n = std::wcrtomb(buf, ch, &state);
    if (n == std::size_t(-1) || n > sizeof buf) {
      converted = false;
      break;
    }
    multibyte.append(buf, n);
  }
  if (converted) {
    os_ << '"' << multibyte << '"';
    return os_.good();
  }
  os_ << '{';
  for (std::size_t i = 0; i < value.size(); ++i) {
    const unsigned code = unsigned(value[i]) & 0xFFFF;
    if (i) os_ << ", ";
    os_ << "{ 0, 0, " << (code / 256) << ", " << (code & 0xFF) << '}';
  }
  os_ << '}';
  return os_.good();
}

bool AVNEncoder::do_visit(const CHOICE& value) {
  const char* name = value.selectionName();
  if (!name || !value.alternative()) return false;
  os_ << name << " : ";
  return os_.good() && value.alternative()->accept(*this);
}

bool AVNEncoder::do_visit(const OpenData& value) {
  if (value.has_data()) return value.get_data()->accept(*this);
  if (value.has_buf()) return do_visit(*value.get_buf());
  return false;
}

bool AVNEncoder::do_visit(const GeneralizedTime& value) {
  os_ << '"' << value.get() << '"';
  return os_.good();
}

bool AVNEncoder::do_visit(const SEQUENCE_OF_Base& value) {
  const int outer = indent_;
  os_ << "{\n";
  indent_ = outer + 2;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (i) os_ << ",\n";
    indent(indent_);
    if (!os_.good() || !value.element(i).accept(*this)) return false;
  }
  if (value.size()) os_ << '\n';
  indent_ = outer;
  indent(outer);
  os_ << '}';
  return os_.good();
}

bool AVNEncoder::preVisitExtensionRoots(const SEQUENCE&) {
  componentWritten_.push_back(false);
  os_ << "{\n";
  return os_.good();
}

bool AVNEncoder::printComponent(const SEQUENCE& seq, int index) {
  const AbstractData* field = seq.getField(unsigned(index));
  if (!field) return false;
  if (componentWritten_.back()) os_ << ",\n";
  const int outer = indent_;
  indent(outer + 2);
  os_ << seq.info()->fieldNames[index] << ' ';
  indent_ = outer + 2;
  const bool ok = os_.good() && field->accept(*this);
  indent_ = outer;
  componentWritten_.back() = true;
  return ok;
}

bool AVNEncoder::visitExtensionRoot(const SEQUENCE& seq, int index) { return printComponent(seq, index); }
bool AVNEncoder::visitKnownExtension(const SEQUENCE& seq, int index) { return printComponent(seq, index); }

bool AVNEncoder::afterVisitSequence(const SEQUENCE&) {
  if (componentWritten_.back()) os_ << '\n';
  componentWritten_.pop_back();
  indent(indent_);
  os_ << '}';
  return os_.good();
}

std::ios_base::iostate AbstractData::print_on(std::ostream& os) const {
  AVNEncoder printer(os);
  return accept(printer) ? std::ios_base::goodbit : std::ios_base::failbit;
}

std::string AbstractData::asValueNotation() const {
  std::ostringstream text;
  print_on(text);
  return text.str();
}

std::ostream& operator<<(std::ostream& os, const AbstractData& value) {
  if (!os.good()) return os;
  std::ostream::sentry guard(os);
  if (guard) {
    os.width(0);
    const std::ios_base::iostate state = value.print_on(os);
    if (state) os.setstate(state);
  }
  return os;
}

} // namespace ASN1
