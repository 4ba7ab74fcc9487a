#include "tests/protocol/type_table.h"

#include <charconv>
#include <regex>
#include <sstream>

#include "protocol/registry.h"

namespace protocol_test {
namespace {

constexpr std::string_view ellipsis = "\xE2\x80\xA6"; // …

std::string trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

std::vector<std::string> split(std::string_view text, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == sep) {
      parts.push_back(trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

// The value of an enumeration name table entry: "name=N" or the implied one.
std::pair<std::string, int> enumEntry(const char* entry, int implied) {
  std::string_view text(entry);
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return {std::string(text), implied};
  int value = implied;
  std::from_chars(text.data() + eq + 1, text.data() + text.size(), value);
  return {std::string(text.substr(0, eq)), value};
}

class Checker {
public:
  Checker(std::string_view module, const TableRow& row) : module_(module), row_(row) {}

  std::vector<std::string> run() {
    const auto* entry = protocol::findType(std::string(module_) + "." + row_.name);
    if (!entry) {
      fail("no such type");
      return problems_;
    }
    const std::string kind = row_.kind;
    if (kind == "SEQUENCE") checkSequence(entry->info);
    else if (kind == "CHOICE") checkChoice(entry->info);
    else if (kind.rfind("ENUMERATED", 0) == 0) checkEnumerated(entry->info);
    else fail("unknown kind in the table: " + kind);
    return problems_;
  }

private:
  void fail(const std::string& what) { problems_.push_back(std::string(module_) + "." + row_.name + ": " + what); }

  // Does the descriptor describe the type written as `text`?
  bool sameType(const ASN1::AbstractInfo* info, std::string text, const std::string& where) {
    if (!info) {
      fail(where + ": no descriptor");
      return false;
    }
    static const std::regex named("`(?:([A-Z]+)::)?([^`]+)`");
    static const std::regex range(R"(INTEGER \((-?\d+)\.\.(\d+)\))");
    static const std::regex sized(R"(IA5String \(SIZE \((\d+)\.\.(\d+)\)\))");
    std::smatch m;
    auto constrained = [&](unsigned tag, int kind, long long lower, unsigned long long upper) {
      const auto* c = static_cast<const ASN1::ConstrainedInfo*>(info);
      if (info->tag != tag || c->constraintKind != kind || c->lowerBound != lower || c->upperBound != upper) {
        std::ostringstream s;
        s << where << ": expected " << text << ", descriptor has tag " << info->tag << " constraint "
          << c->constraintKind << " " << c->lowerBound << ".." << c->upperBound;
        fail(s.str());
        return false;
      }
      return true;
    };
    if (text.rfind("SEQUENCE OF ", 0) == 0 || text.rfind("SET OF ", 0) == 0) {
      const bool set = text[1] == 'E' && text[2] == 'T';
      if (!constrained(set ? 17 : 16, ASN1::Unconstrained, 0, ASN1::NoUpperBound)) return false;
      return sameType(static_cast<const ASN1::SequenceOfInfo*>(info)->elementInfo, text.substr(set ? 7 : 12),
                      where + " element");
    }
    if (std::regex_match(text, m, named)) {
      const std::string qualified = (m[1].matched ? m[1].str() : std::string(module_)) + "." + m[2].str();
      const auto* entry = protocol::findType(qualified);
      if (!entry) {
        fail(where + ": " + qualified + " is not a known type");
        return false;
      }
      if (entry->info != info) {
        fail(where + ": descriptor is not the one of " + qualified);
        return false;
      }
      return true;
    }
    if (text == "INTEGER") return constrained(2, ASN1::Unconstrained, 0, ASN1::NoUpperBound);
    if (std::regex_match(text, m, range))
      return constrained(2, ASN1::Fixed, std::stoll(m[1]), std::stoull(m[2]));
    if (text == "OCTET STRING") return constrained(4, ASN1::Unconstrained, 0, ASN1::NoUpperBound);
    if (text == "IA5String" || std::regex_match(text, m, sized)) {
      const bool bounded = !m.empty();
      if (!constrained(22, bounded ? ASN1::Fixed : ASN1::Unconstrained, bounded ? std::stoll(m[1]) : 0,
                       bounded ? std::stoull(m[2]) : ASN1::NoUpperBound))
        return false;
      const auto* s = static_cast<const ASN1::CharacterStringInfo*>(info);
      if (!s->alphabet || s->alphabetSize != 128 || s->alignedBits != 8 || s->unalignedBits != 7 ||
          s->canonicalBits != 7) {
        fail(where + ": the IA5String alphabet was not copied");
        return false;
      }
      return true;
    }
    const unsigned plainTag = text == "BOOLEAN" ? 1 : text == "NULL" ? 5 : 0;
    if (!plainTag) {
      fail(where + ": cannot read the type '" + text + "' of the table");
      return false;
    }
    if (info->tag != plainTag) {
      fail(where + ": expected " + text + ", descriptor has tag " + std::to_string(info->tag));
      return false;
    }
    return true;
  }

  void checkSequence(const ASN1::AbstractInfo* base) {
    if (base->tag != 16) return fail("expected a SEQUENCE, tag is " + std::to_string(base->tag));
    const auto* info = static_cast<const ASN1::SequenceInfo*>(base);
    struct Component {
      std::string name, type;
      bool optional;
    };
    std::vector<Component> roots, additions;
    bool extensible = false;
    static const std::regex component("`([^`]+)` (.+?)( \\(opt\\)| OPTIONAL)?");
    for (const auto& part : split(row_.components, ';')) {
      if (part == ellipsis) {
        extensible = true;
        continue;
      }
      std::smatch m;
      if (!std::regex_match(part, m, component)) return fail("cannot read the component '" + part + "'");
      (extensible ? additions : roots).push_back({m[1], m[2], m[3].matched});
    }
    if (info->extendable != extensible) fail(std::string("extension marker ") + (extensible ? "missing" : "unexpected"));
    if (info->rootCount != roots.size() || info->knownExtensions != additions.size()) {
      std::ostringstream s;
      s << "expected " << roots.size() << " root components and " << additions.size() << " additions, descriptor has "
        << info->rootCount << " and " << info->knownExtensions;
      return fail(s.str());
    }
    int optionals = 0;
    for (std::size_t i = 0; i < roots.size(); ++i) {
      const std::string where = "component " + std::to_string(i) + " " + roots[i].name;
      if (roots[i].name != info->fieldNames[i]) fail(where + ": descriptor names it " + info->fieldNames[i]);
      const int expectedId = roots[i].optional ? optionals++ : -1;
      if (info->fieldIds[i] != expectedId)
        fail(where + ": optional bit " + std::to_string(info->fieldIds[i]) + ", expected " + std::to_string(expectedId));
      sameType(info->fieldInfos[i], roots[i].type, where);
    }
    if (int(info->optionalCount) != optionals)
      fail("optionalCount " + std::to_string(info->optionalCount) + ", expected " + std::to_string(optionals));
    for (std::size_t k = 0; k < additions.size(); ++k) {
      const std::size_t i = roots.size() + k;
      const std::string where = "addition " + std::to_string(k) + " " + additions[k].name;
      if (additions[k].name != info->fieldNames[i]) fail(where + ": descriptor names it " + info->fieldNames[i]);
      sameType(info->fieldInfos[i], additions[k].type, where);
    }
    if (info->mandatoryExtensions) fail("additions are optional, yet some are present by default");
    if (info->componentTags) fail("automatic tags expected, descriptor has component tags");
  }

  void checkChoice(const ASN1::AbstractInfo* base) {
    if (base->tag != 0) return fail("expected a CHOICE, tag is " + std::to_string(base->tag));
    const auto* info = static_cast<const ASN1::ChoiceInfo*>(base);
    std::string text = row_.components;
    // One alternative per kind of an enumeration, named after its values.
    std::vector<std::string> kindNames;
    const auto perKind = text.find("alternative types: ");
    if (perKind != std::string::npos) {
      text = text.substr(perKind + 19);
      const auto* kinds = protocol::findType(std::string(module_) + ".ProtoOrvaGgsTypeControl");
      if (!kinds) return fail("the enumeration naming the alternatives is missing");
      const auto* e = static_cast<const ASN1::EnumeratedInfo*>(kinds->info);
      for (unsigned i = 0; i < e->nameCount; ++i) kindNames.push_back(enumEntry(e->enumNames[i], int(i)).first);
    }
    unsigned root = 0, total = 0;
    bool extensible = false;
    static const std::regex alternative("(\\d+) (?:`([^`]+)` )?(.+)");
    for (const auto& part : split(text, ';')) {
      if (part == ellipsis) {
        extensible = true;
        continue;
      }
      std::smatch m;
      if (!std::regex_match(part, m, alternative)) return fail("cannot read the alternative '" + part + "'");
      if (std::stoul(m[1]) != total) return fail("alternative '" + part + "' out of order in the table");
      if (total >= info->totalCount) {
        fail("alternative " + part + " missing");
        ++total;
        continue;
      }
      const std::string name = m[2].matched ? m[2].str() : total < kindNames.size() ? kindNames[total] : "?";
      const std::string where = "alternative " + std::to_string(total) + " " + name;
      if (name != info->selectionNames[total]) fail(where + ": descriptor names it " + info->selectionNames[total]);
      sameType(info->selectionInfos[total], m[3], where);
      ++total;
      if (!extensible) ++root;
    }
    if (info->extendable != extensible) fail(std::string("extension marker ") + (extensible ? "missing" : "unexpected"));
    if (info->rootCount != root || info->totalCount != total) {
      std::ostringstream s;
      s << "expected " << root << " root and " << total << " known alternatives, descriptor has " << info->rootCount
        << " and " << info->totalCount;
      fail(s.str());
    }
    if (info->tagKeys) fail("automatic tags expected, descriptor has tag keys");
  }

  void checkEnumerated(const ASN1::AbstractInfo* base) {
    if (base->tag != 10) return fail("expected an ENUMERATED, tag is " + std::to_string(base->tag));
    const auto* info = static_cast<const ASN1::EnumeratedInfo*>(base);
    std::vector<std::pair<std::string, int>> expected;
    bool extensible = false;
    const std::string text = row_.components;
    static const std::regex kindsOnly(R"((\d+) values, 0 to (\d+),.*)");
    static const std::regex item("`([^`]+)` (-?\\d+)");
    std::smatch m;
    bool namesFree = false;
    if (std::regex_match(text, m, kindsOnly)) {
      // Only the count and the values are fixed; the names are local.
      namesFree = true;
      for (int v = 0; v <= std::stoi(m[2]); ++v) expected.push_back({"", v});
      extensible = text.size() >= ellipsis.size() && text.compare(text.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0;
    } else {
      for (const auto& part : split(text, ',')) {
        if (part == ellipsis) {
          extensible = true;
          continue;
        }
        if (!std::regex_match(part, m, item)) return fail("cannot read the value '" + part + "'");
        expected.push_back({m[1], std::stoi(m[2])});
      }
    }
    int largest = expected.empty() ? 0 : expected.front().second;
    for (const auto& e : expected) largest = std::max(largest, e.second);
    static const std::regex stated(R"(ENUMERATED \(largest value (-?\d+)\))");
    const std::string kind = row_.kind;
    if (std::regex_match(kind, m, stated) && std::stoi(m[1]) != largest)
      fail("the table's largest value disagrees with its names");
    if (info->extendable != extensible) fail(std::string("extension marker ") + (extensible ? "missing" : "unexpected"));
    if (info->maxValue != largest)
      fail("maxValue " + std::to_string(info->maxValue) + ", expected " + std::to_string(largest));
    if (info->nameCount != expected.size())
      return fail("expected " + std::to_string(expected.size()) + " names, descriptor has " + std::to_string(info->nameCount));
    int next = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const auto [name, value] = enumEntry(info->enumNames[i], next);
      next = value + 1;
      if (!namesFree && name != expected[i].first) fail("name " + std::to_string(i) + " is " + name + ", expected " + expected[i].first);
      if (value != expected[i].second)
        fail("name " + name + " has value " + std::to_string(value) + ", expected " + std::to_string(expected[i].second));
    }
  }

  std::string_view module_;
  const TableRow& row_;
  std::vector<std::string> problems_;
};

} // namespace

std::vector<std::string> checkRow(std::string_view module, const TableRow& row) { return Checker(module, row).run(); }

} // namespace protocol_test
