// Aligned PER against Erlang/OTP's independent X.691 codec: random values
// encoded here must decode there and re-encode to the same bytes, and the
// protocol examples Erlang encodes itself must equal ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "asn1/coder_env.h"
#include "tests/asn1/Interop.h"
#include "tests/asn1/LgcpSubset.h"
#include "tests/asn1/MonSubset.h"
#include "tests/asn1/random_value.h"

namespace {

std::string hex(const std::vector<std::uint8_t>& b) {
  static const char d[] = "0123456789ABCDEF";
  std::string s;
  for (auto x : b) (s += d[x >> 4]) += d[x & 15];
  return s;
}

void copyFile(const std::string& from, const std::string& to, bool dashUnderscores) {
  std::ifstream in(from);
  std::stringstream text;
  text << in.rdbuf();
  std::string s = text.str();
  // Erlang's scanner refuses underscores in names; they do not shape the encoding.
  if (dashUnderscores)
    for (std::size_t p; (p = s.find("trunk_bri")) != std::string::npos;) s.replace(p, 9, "trunk-bri");
  std::ofstream(to) << s;
}

struct Case {
  std::string line;
  std::string value;
};

template <class T>
void addCases(std::vector<Case>& cases, const char* module, const char* type, std::uint32_t seed, int count) {
  for (int i = 0; i < count; ++i) {
    T v;
    asn1_test::RandomValue filler(seed + std::uint32_t(i));
    ASSERT_TRUE(v.accept(filler));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ASN1::CoderEnv().encode(v, std::back_inserter(bytes)));
    cases.push_back({std::string(module) + " " + type + " " + hex(bytes),
                     "seed " + std::to_string(seed + std::uint32_t(i)) + "\n" + v.asValueNotation()});
  }
}

TEST(ErlangInterop, AlignedPerMatchesByteForByte) {
  if (std::system("command -v escript >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "escript not found (Debian packages erlang-base and erlang-asn1): "
                    "the cross-check against an independent X.691 codec did not run";
  char dirTemplate[] = "/tmp/kelvad-asn1-interop-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dirTemplate));
  const std::string dir = dirTemplate, src = KELVAD_ASN1_TEST_DIR;
  copyFile(src + "/lgcp_subset.asn", dir + "/LgcpSubset.asn", true);
  copyFile(src + "/mon_subset.asn", dir + "/MonSubset.asn", false);
  copyFile(src + "/interop.asn", dir + "/Interop.asn", false);

  std::vector<Case> cases;
  addCases<LgcpSubset::Message>(cases, "LgcpSubset", "Message", 1000, 300);
  addCases<MonSubset::Message>(cases, "MonSubset", "Message", 2000, 300);
  addCases<Interop::Numbers>(cases, "Interop", "Numbers", 3000, 300);
  addCases<Interop::Strings>(cases, "Interop", "Strings", 4000, 300);
  addCases<Interop::Structures>(cases, "Interop", "Structures", 5000, 300);
  {
    std::ofstream out(dir + "/cases");
    for (const auto& c : cases) out << c.line << '\n';
  }
  const std::string command = "escript " + src + "/erlang_interop.escript " + dir + " " + dir + "/cases 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  std::vector<std::string> lines;
  char buf[65536];
  while (std::fgets(buf, sizeof buf, pipe)) {
    std::string l(buf);
    if (!l.empty() && l.back() == '\n') l.pop_back();
    lines.push_back(l);
  }
  ASSERT_EQ(0, pclose(pipe)) << (lines.empty() ? "" : lines.back());
  ASSERT_EQ(cases.size() + 4, lines.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string ours = cases[i].line.substr(cases[i].line.rfind(' ') + 1);
    EXPECT_EQ("ok " + ours, lines[i]) << cases[i].value;
  }
  std::map<std::string, std::string> examples;
  for (std::size_t i = cases.size(); i < lines.size(); ++i) {
    std::istringstream l(lines[i]);
    std::string tag, name, bytes;
    l >> tag >> name >> bytes;
    examples[name] = bytes;
  }
  EXPECT_EQ("C00105000340", examples["success_response"]);
  EXPECT_EQ("0600", examples["ping_command"]);
  EXPECT_EQ("C00107000A08380028", examples["create_trunk"]);
  EXPECT_EQ("18", examples["mon_ping"]);
  std::system(("rm -rf " + dir).c_str());
}

} // namespace
