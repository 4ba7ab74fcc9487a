// The declarative key reader: conversions and its fixed diagnostics.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "core/ini_file.h"
#include "core/ini_reader.h"

namespace {

// Parses text and returns its first subsection of section "s".
class ReaderTest : public ::testing::Test {
 protected:
  IniFile::SubSection& Sub(const std::string& text) {
    std::istringstream in(text);
    in >> file;
    return file["s"][0];
  }
  IniFile::File file;
  std::ostringstream errors;
};

enum class Level { off = 0, low = 1, high = 2 };
const IniFile::Symbol<Level> kLevels[] = {{"low", Level::low}, {"high", Level::high}, {nullptr, Level::off}};

TEST_F(ReaderTest, BoolAcceptsExactlyTheTenWords) {
  struct Case {
    const char* text;
    bool valid;
    bool value;
  } cases[] = {{"true", true, true},     {"yes", true, true},      {"enabled", true, true},
               {"enable", true, true},   {"1", true, true},        {"false", true, false},
               {"no", true, false},      {"disabled", true, false}, {"disable", true, false},
               {"0", true, false},       {"True", false, false},   {"YES", false, false},
               {"2", false, false},      {"maybe", false, false},  {"", false, false},
               {"yes please", false, false}};
  for (const Case& c : cases) {
    IniFile::File f;
    std::istringstream in(std::string("[s]\nflag=") + c.text + "\n");
    in >> f;
    bool target = !c.value;  // a rejected value must leave the target alone
    bool before = target;
    IniFile::Reader reader("r: ", errors);
    bool& found = reader.optional.add(&target, "flag");
    EXPECT_TRUE(reader.parse(f["s"][0]));
    EXPECT_EQ(found, c.valid) << c.text;
    EXPECT_EQ(target, c.valid ? c.value : before) << c.text;
  }
}

TEST_F(ReaderTest, IntegersUseStrtolBaseZeroAndMustFit) {
  struct Case {
    const char* text;
    bool valid;
    long long value;
  } cases[] = {{"10", true, 10},          {"0x1F", true, 31},   {"010", true, 8},     {"-5", true, -5},
               {"+7", true, 7},           {"", false, 0},       {"12abc", false, 0},  {"0x", false, 0},
               {"1.5", false, 0},         {"12\t", false, 0},    {"2147483647", true, 2147483647},
               {"2147483648", false, 0},  {"-2147483649", false, 0},
               {"99999999999999999999", false, 0}};
  for (const Case& c : cases) {
    IniFile::File f;
    std::istringstream in(std::string("[s]\nn=") + c.text + "\n");
    in >> f;
    int32_t target = 42;
    IniFile::Reader reader("r: ", errors);
    bool& found = reader.optional.add(&target, "n");
    reader.parse(f["s"][0]);
    EXPECT_EQ(found, c.valid) << c.text;
    EXPECT_EQ(target, c.valid ? c.value : 42) << c.text;
  }
}

TEST_F(ReaderTest, NarrowAndUnsignedTargetsRejectWhatDoesNotFit) {
  IniFile::SubSection& sub = Sub("[s]\nbyte=256\nsmall=255\nneg=-1\nbig=0xFFFFFFFF\n");
  uint8_t byte = 1, small = 1;
  unsigned neg = 1;
  uint32_t big = 1;
  IniFile::Reader reader("r: ", errors);
  bool& byteFound = reader.optional.add(&byte, "byte");
  reader.optional.add(&small, "small");
  bool& negFound = reader.optional.add(&neg, "neg");
  reader.optional.add(&big, "big");
  reader.parse(sub);
  EXPECT_FALSE(byteFound);
  EXPECT_EQ(byte, 1);
  EXPECT_EQ(small, 255);
  EXPECT_FALSE(negFound);
  EXPECT_EQ(big, 0xFFFFFFFFu);
}

TEST_F(ReaderTest, SymbolsComeFirstThenNumbers) {
  IniFile::SubSection& sub = Sub("[s]\na=high\nb=1\nc=medium\n");
  Level a = Level::off, b = Level::off, c = Level::high;
  IniFile::Reader reader("r: ", errors);
  reader.optional.add(&a, "a", kLevels);
  reader.optional.add(&b, "b", kLevels);
  bool& cFound = reader.optional.add(&c, "c", kLevels);
  reader.parse(sub);
  EXPECT_EQ(a, Level::high);
  EXPECT_EQ(b, Level::low);
  EXPECT_FALSE(cFound);
  EXPECT_EQ(c, Level::high);
}

TEST_F(ReaderTest, StringsTakeTheWholeValue) {
  IniFile::SubSection& sub = Sub("[s]\nname = a b  #c\nempty=\n");
  std::string name, empty = "x";
  IniFile::Reader reader("r: ", errors);
  reader.required.add(&name, "name");
  bool& emptyFound = reader.required.add(&empty, "empty");
  EXPECT_TRUE(reader.parse(sub));
  EXPECT_EQ(name, "a b");
  EXPECT_TRUE(emptyFound);
  EXPECT_EQ(empty, "");
  EXPECT_EQ(errors.str(), "");
}

struct MessageCase {
  const char* what;
  const char* text;  // the subsection; its header is on line 1
  bool required;
  bool parsed;
  const char* messages;
};

class ReaderMessages : public ReaderTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ReaderMessages, AreWordForWord) {
  const MessageCase& c = GetParam();
  IniFile::SubSection& sub = Sub(c.text);
  int target = 5;
  IniFile::Reader reader("traces: ", errors);
  bool& found = (c.required ? reader.required : reader.optional).add(&target, "k");
  EXPECT_EQ(reader.parse(sub), c.parsed);
  EXPECT_EQ(errors.str(), c.messages);
  if (*c.messages) {
    EXPECT_FALSE(found);
    EXPECT_EQ(target, 5) << "a rejected key leaves its target alone";
  }
}

const MessageCase kMessages[] = {
    {"required absent", "[s]\nother=1\n", true, false, "traces: required key \"k\" not present, line 1\n"},
    {"optional absent", "[s]\nother=1\n", false, true, ""},
    {"required invalid", "[s]\n\nk=x1\n", true, false, "traces: required key \"k\" has invalid value=\"x1\", line 3\n"},
    {"optional invalid", "[s]\n\nk=x1\n", false, true,
     "traces: optional key \"k\" has invalid value=\"x1\", line 3. Key will be ignored.\n"},
    {"required duplicated", "[s]\nk=1\n\nk=2\n", true, false,
     "traces: required key \"k\" is duplicated!\n"
     "traces:  first occurence at 2 line.\n"
     "traces:  second occurence at 4 line.\n"},
    {"optional duplicated", "[s]\nk=1\n\nk=2\n", false, true,
     "traces: optional key \"k\" is duplicated!\n"
     "traces:  first occurence at 2 line.\n"
     "traces:  second occurence at 4 line. Both keys will be ignored.\n"},
    {"required three times", "[s]\nk=1\nk=2\n\nk=3\n", true, false,
     "traces: required key \"k\" specified more than once: 2 3 5 lines\n"},
    {"optional four times", "[s]\nk=1\nk=2\nk=3\nk=4\n", false, true,
     "traces: optional key \"k\" specified more than once: 2 3 4 5 lines. All keys will be ignored.\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReaderMessages, ::testing::ValuesIn(kMessages),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(ReaderTest, FirstRequiredProblemStopsTheParse) {
  IniFile::SubSection& sub = Sub("[s]\na=1\nc=bad\n");
  int a = 0, b = 0, c = 0, d = 0;
  IniFile::Reader reader("r: ", errors);
  bool& aFound = reader.required.add(&a, "a");
  reader.required.add(&b, "b");
  reader.required.add(&c, "c");
  bool& dFound = reader.optional.add(&d, "c");
  EXPECT_FALSE(reader.parse(sub));
  EXPECT_TRUE(aFound);
  EXPECT_EQ(a, 1);
  EXPECT_FALSE(dFound);
  EXPECT_EQ(errors.str(), "r: required key \"b\" not present, line 1\n") << "c is not checked after b failed";
}

TEST_F(ReaderTest, OptionalProblemsDoNotStopTheParse) {
  IniFile::SubSection& sub = Sub("[s]\na=x\na=y\nb=bad\nc=3\nunknown=1\n");
  int a = 0, b = 0, c = 0;
  IniFile::Reader reader("r: ", errors);
  reader.optional.add(&a, "a");
  reader.optional.add(&b, "b");
  bool& cFound = reader.optional.add(&c, "c");
  EXPECT_TRUE(reader.parse(sub));
  EXPECT_TRUE(cFound);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(errors.str(),
            "r: optional key \"a\" is duplicated!\n"
            "r:  first occurence at 2 line.\n"
            "r:  second occurence at 3 line. Both keys will be ignored.\n"
            "r: optional key \"b\" has invalid value=\"bad\", line 4. Key will be ignored.\n");
}

TEST_F(ReaderTest, FoundFlagsAreClearedByEachParse) {
  IniFile::File f;
  std::istringstream in("[s]\nk=1\n[s]\nother=2\n");
  in >> f;
  int k = 0;
  IniFile::Reader reader("r: ", errors);
  bool& found = reader.optional.add(&k, "k");
  reader.parse(f["s"][0]);
  EXPECT_TRUE(found);
  reader.parse(f["s"][1]);
  EXPECT_FALSE(found);
  EXPECT_EQ(k, 1);
}

TEST_F(ReaderTest, PlaceholderSubsectionReportsLineMinusOne) {
  IniFile::Section& section = file["absent"];
  section.CheckEmpty();
  int k = 0;
  IniFile::Reader reader("r: ", errors);
  reader.required.add(&k, "k");
  EXPECT_FALSE(reader.parse(section[0]));
  EXPECT_EQ(errors.str(), "r: required key \"k\" not present, line -1\n");
}

}  // namespace
