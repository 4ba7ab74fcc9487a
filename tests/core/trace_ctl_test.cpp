// The trace switches read from section "traces".

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/ini_file.h"
#include "core/trace_ctl.h"

namespace {

struct Configured {
  TraceCtl traces;
  std::string errors;
};

Configured Configure(const std::string& text) {
  IniFile::File file;
  std::istringstream in(text);
  in >> file;
  Configured c;
  std::ostringstream errors;
  c.traces.Configure(file["traces"], errors);
  c.errors = errors.str();
  return c;
}

TEST(TraceCtl, AllSwitchesStartOff) {
  TraceCtl t;
  EXPECT_FALSE(t.hdlc || t.orvagw || t.events || t.isdn || t.internal);
}

TEST(TraceCtl, ReadsTheFiveKeys) {
  Configured c = Configure(
      "[traces]\n"
      "signalling.hdlc = yes\n"
      "signalling.orvagw = 1\n"
      "signalling.events = enabled\n"
      "signalling.isdn = true\n"
      "monitoring.internal = enable\n");
  EXPECT_TRUE(c.traces.hdlc);
  EXPECT_TRUE(c.traces.orvagw);
  EXPECT_TRUE(c.traces.events);
  EXPECT_TRUE(c.traces.isdn);
  EXPECT_TRUE(c.traces.internal);
  EXPECT_EQ(c.errors, "");
}

TEST(TraceCtl, EachKeyDrivesItsOwnSwitch) {
  Configured c = Configure("[traces]\nsignalling.events = yes\n[other]\nsignalling.hdlc = yes\n");
  EXPECT_TRUE(c.traces.events);
  EXPECT_FALSE(c.traces.hdlc || c.traces.orvagw || c.traces.isdn || c.traces.internal);
}

TEST(TraceCtl, InvalidValueIsReportedAndIgnored) {
  Configured c = Configure(
      "# switches\n"
      "[traces]\n"
      "signalling.hdlc = yes\n"
      "signalling.isdn = maybe\n");
  EXPECT_EQ(c.errors, "traces: optional key \"signalling.isdn\" has invalid value=\"maybe\", line 4. Key will be ignored.\n");
  EXPECT_FALSE(c.traces.isdn);
  EXPECT_TRUE(c.traces.hdlc);
}

TEST(TraceCtl, TheLastSubsectionDecides) {
  Configured c = Configure(
      "[traces]\n"
      "signalling.isdn = yes\n"
      "signalling.hdlc = yes\n"
      "[traces]\n"
      "signalling.hdlc = yes\n");
  EXPECT_FALSE(c.traces.isdn) << "each subsection starts from all off";
  EXPECT_TRUE(c.traces.hdlc);
}

TEST(TraceCtl, ConfiguringASubsectionResetsEverySwitch) {
  TraceCtl t;
  t.hdlc = t.orvagw = t.events = t.isdn = t.internal = true;
  IniFile::File file;
  std::istringstream in("[traces]\n");
  in >> file;
  std::ostringstream errors;
  t.Configure(file["traces"][0], errors);
  EXPECT_FALSE(t.hdlc || t.orvagw || t.events || t.isdn || t.internal);
}

TEST(TraceCtl, NoSectionLeavesTheSwitchesAlone) {
  TraceCtl t;
  t.isdn = true;
  IniFile::File file;
  std::ostringstream errors;
  t.Configure(file["traces"], errors);
  EXPECT_TRUE(t.isdn);
  EXPECT_EQ(errors.str(), "");
}

}  // namespace
