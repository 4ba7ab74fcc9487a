// The configuration tree and its one-pass parser.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/ini_file.h"

namespace {

using Entries = std::vector<std::string>;

// The tree flattened in file order: "section(header line).key=value@line",
// or "section(header line)" for a subsection without keys.
Entries Flatten(const IniFile::File& file) {
  Entries out;
  for (const IniFile::Section& section : file) {
    for (const IniFile::SubSection& sub : section) {
      std::string head = section.name() + "(" + std::to_string(sub.line()) + ")";
      if (sub.count() == 0) out.push_back(head);
      for (const IniFile::Key& key : sub)
        for (const IniFile::SubKey& value : key)
          out.push_back(head + "." + key.name() + "=" + value.value() + "@" + std::to_string(value.line()));
    }
  }
  return out;
}

Entries Parse(const std::string& text) {
  IniFile::File file;
  std::istringstream in(text);
  in >> file;
  EXPECT_TRUE(file.opened());
  return Flatten(file);
}

struct ParseCase {
  const char* what;
  std::string text;
  Entries expected;
};

class IniParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IniParse, GivesTheTree) { EXPECT_EQ(Parse(GetParam().text), GetParam().expected) << GetParam().text; }

const ParseCase kCases[] = {
    {"plain pair", "[s]\nkey=value\n", {"s(1).key=value@2"}},
    {"blanks around =", "[s]\nkey = value\n", {"s(1).key=value@2"}},
    {"inner spaces of a value kept", "[s]\nkey=a b  c\n", {"s(1).key=a b  c@2"}},
    {"comment after blanks", "[s]\nkey = value   # note\n", {"s(1).key=value@2"}},
    {"# right after a value is part of it", "[s]\nkey=value#x\n", {"s(1).key=value#x@2"}},
    {"spaces inside a key name", "[s]\nfirst name = x\n", {"s(1).first name=x@2"}},
    {"space runs in a name kept, dropped before =", "[s]\nkey   name   =v\n", {"s(1).key   name=v@2"}},
    {"tabs and # are ordinary in a name", "[s]\nk\tx#y=v\n", {"s(1).k\tx#y=v@2"}},
    {"tabs are ordinary in a value", "[s]\nk=\tv\tw\t\n", {"s(1).k=\tv\tw\t@2"}},
    {"trailing spaces dropped", "[s]\nk=v   \n", {"s(1).k=v@2"}},
    {"last line without newline", "[s]\nkey = value", {"s(1).key=value@2"}},
    {"= at the end of input", "[s]\nkey =", {"s(1).key=@2"}},
    {"= then blanks at the end of input", "[s]\nkey =   ", {"s(1).key=@2"}},
    {"empty value", "[s]\nkey=\n", {"s(1).key=@2"}},
    {"comment right after =", "[s]\nkey= # c\nk2=v\n", {"s(1).key=@2", "s(1).k2=v@3"}},
    {"comment after = at the end of input", "[s]\nkey= #c", {"s(1).key=@2"}},
    {"second = belongs to the value", "[s]\nk==v\n", {"s(1).k==v@2"}},
    {"= at line start gives an empty name", "[s]\n  =v\n", {"s(1).=v@2"}},
    {"carriage returns dropped", "[s]\r\nk=v\r\n\r\nj = w \r\n", {"s(1).k=v@2", "s(1).j=w@4"}},
    {"lines before the first header define nothing", "a=b\n# c\n  x = y\n[s]\n", {"s(4)"}},
    {"before any header only [ and # mean anything", "junk [s] more\nk=v\n", {"s(1).k=v@2"}},
    {"a word alone then a header", "[s]\nword\n[other]\nk=v\n", {"s(1)", "other(3).k=v@4"}},
    {"a header without ] is abandoned", "[s]\na=1\n[t\nk=v\n[u]\nx=y\n", {"s(1).a=1@2", "u(5).x=y@6"}},
    {"a header without ] at the end of input", "[s]\na=1\n[t", {"s(1).a=1@2"}},
    {"blanks in a section name kept", "[ a b ]\nk=v\n", {" a b (1).k=v@2"}},
    {"rest of a header line ignored", "[s] k=v # x\nk2=v2\n", {"s(1).k2=v2@2"}},
    {"leading blanks and empty lines skipped", "[s]\n\n  \t key=v\n\t\n", {"s(1).key=v@3"}},
    {"comment lines", "[s]\n# k=v\n   #j=w\n", {"s(1)"}},
    {"a key twice keeps both values", "[s]\nk=a   #c\nk=b\n", {"s(1).k=a@2", "s(1).k=b@3"}},
    {"keys keep the order of first appearance", "[s]\nb=1\na=2\nb=3\n", {"s(1).b=1@2", "s(1).b=3@4", "s(1).a=2@3"}},
    {"a section twice gives two subsections", "[s]\nk=v\n[t]\n[s]\nk=w\n",
     {"s(1).k=v@2", "s(4).k=w@5", "t(3)"}},
    {"names are case-sensitive", "[S]\nK=1\n[s]\nk=2\n", {"S(1).K=1@2", "s(3).k=2@4"}},
    {"NUL bytes are ordinary characters", std::string("[s]\nk=a\0b\n", 10), {std::string("s(1).k=a\0b@2", 12)}},
    {"a [ inside a section is a name character", "[s]\nk[1]=v\n", {"s(1).k[1]=v@2"}},
    {"empty input", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Rules, IniParse, ::testing::ValuesIn(kCases), [](const auto& info) {
  return "case" + std::to_string(info.index);
});

TEST(IniFile, LookupsCreateEmptyObjects) {
  IniFile::File file;
  std::istringstream in("[s]\nk=v\n");
  in >> file;
  EXPECT_FALSE(file.contains("missing"));
  IniFile::Section& missing = file["missing"];
  EXPECT_EQ(missing.count(), 0);
  EXPECT_TRUE(file.contains("missing"));
  IniFile::SubSection& sub = file["s"][0];
  EXPECT_EQ(sub["absent"].count(), 0);
  EXPECT_EQ(sub["k"].count(), 1);
}

TEST(IniFile, CheckEmptyAddsOnePlaceholder) {
  IniFile::File file;
  IniFile::Section& section = file["s"];
  section.CheckEmpty();
  section.CheckEmpty();
  ASSERT_EQ(section.count(), 1);
  EXPECT_EQ(section[0].line(), -1);

  IniFile::Key& key = section[0]["k"];
  key.CheckEmpty();
  key.CheckEmpty();
  ASSERT_EQ(key.count(), 1);
  EXPECT_EQ(key[0].value(), "");
  EXPECT_EQ(key[0].line(), -1);

  file.NewSubSection("s", 7).NewSubKey("k", "v", 8);
  section.CheckEmpty();
  EXPECT_EQ(section.count(), 2) << "a section with subsections gets no placeholder";
}

TEST(IniFile, StreamingReplacesTheTree) {
  IniFile::File file;
  std::istringstream first("[a]\nx=1\n"), second("[b]\ny=2\n");
  first >> file;
  second >> file;
  EXPECT_EQ(Flatten(file), Entries{"b(1).y=2@2"});
  EXPECT_EQ(file.name(), "");
  file.Close();
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(file.count(), 0);
}

class IniOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("ini-open-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(IniOpen, ReadsARegularFile) {
  std::string path = (dir / "server.conf").string();
  std::ofstream(path) << "[traces]\nsignalling.isdn = yes\n";
  IniFile::File file;
  EXPECT_TRUE(file.Open(path));
  EXPECT_TRUE(file.opened());
  EXPECT_EQ(file.name(), path);
  EXPECT_EQ(Flatten(file), Entries{"traces(1).signalling.isdn=yes@2"});
}

TEST_F(IniOpen, MissingFileOrDirectoryLeavesAnEmptyTree) {
  IniFile::File file;
  std::istringstream in("[old]\nk=v\n");
  in >> file;
  for (std::string path : {(dir / "absent.conf").string(), dir.string()}) {
    EXPECT_FALSE(file.Open(path)) << path;
    EXPECT_FALSE(file.opened());
    EXPECT_EQ(file.count(), 0) << path;
  }
}

TEST(IniFile, DumpWritesEveryLevel) {
  IniFile::File file;
  std::istringstream in("[s]\nk = v\n");
  in >> file;
  std::ostringstream out;
  file.Dump(out);
  EXPECT_EQ(out.str(),
            "dumping IniFile::File\n"
            "mFileName=\"\"\n"
            "mSectionCount=1\n"
            "dumping IniFile::Section\n"
            "mName=\"s\"\n"
            "mSubSectionCount=1\n"
            "dumping IniFile::SubSection\n"
            "mLineNo=\"1\"\n"
            "mKeyCount=1\n"
            "dumping IniFile::Key\n"
            "mName=\"k\"\n"
            "mSubKeyCount=1\n"
            "dumping IniFile::SubKey\n"
            "mValue=\"v\"\n"
            "mLineNo=2\n");
}

}  // namespace
