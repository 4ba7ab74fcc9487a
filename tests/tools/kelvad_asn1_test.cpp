// kelvad-asn1 as operators use it: hex from arguments or standard input, the
// daemon's hex dump, TPKT frames, and clear refusals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tools/kelvad-asn1-app.h"
#include "tools/kelvad-asn1-input.h"

namespace {

using ::testing::HasSubstr;

struct Result {
  int status;
  std::string out, err;
};

Result run(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = asn1tool::run(args, in, out, err);
  return {status, out.str(), err.str()};
}

const std::string successResponse = "{\n  seq 5,\n  slot 3,\n  pdu response : success : NULL\n}\n";

TEST(KelvadAsn1, PrintsTheSuccessResponseAndItsEncoding) {
  const auto r = run({"LGCP.Message", "C0", "01", "05", "00", "03", "40"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, successResponse + "C0 01 05 00 03 40\n");
  EXPECT_EQ(r.err, "");
}

TEST(KelvadAsn1, PrintsTheMonPing) {
  const auto r = run({"MON.Message", "18"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "{\n  pdu command : ping : NULL\n}\n18\n");
}

TEST(KelvadAsn1, AcceptsTheWaysOperatorsPasteOctets) {
  const std::string expected = successResponse + "C0 01 05 00 03 40\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
  } cases[] = {
      {{"LGCP.Message", "C00105000340"}, ""},
      {{"LGCP.Message", "c0 01", "0500 0340"}, ""},
      {{"LGCP.Message", "0xC0", "0x01", "05", "00", "03", "40"}, ""},
      {{"LGCP.Message"}, "C0 01 05 00 03 40 \n"},
      // the daemon's log line after a decode failure
      {{"LGCP.Message"}, "ctrl [lgcp]: receive fail: decode error!\n msg: C0 01 05 00 03 40 \n"},
      // a whole TPKT frame from a capture
      {{"LGCP.Message", "03 00 00 0A C0 01 05 00 03 40"}, ""},
      {{"LGCP::Message"}, "030000\t0AC0\r\n0105000340"},
  };
  for (const auto& c : cases) {
    const auto r = run(c.args, c.input);
    EXPECT_EQ(r.status, 0) << c.input << r.err;
    EXPECT_EQ(r.out, expected) << c.input;
  }
}

TEST(KelvadAsn1, UnalignedVariant) {
  // slot in ten bits and the indexes right after it, without alignment
  const auto r = run({"--unaligned", "LGCP.Message", "C0 01 05 00 D0"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, successResponse + "C0 01 05 00 D0\n");
}

TEST(KelvadAsn1, RefusesWhatIsNotAMessage) {
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string message;
  } cases[] = {
      {{"LGCP.Message", "zz"}, "", 1, "not a hexadecimal digit: 'z' at character 1"},
      {{"LGCP.Message", "C0 1"}, "", 1, "odd number of hexadecimal digits in \"1\""},
      {{"LGCP.Message"}, "   \n", 1, "no octets to decode"},
      {{"LGCP.Message", "03 00 00 04"}, "", 1, "no octets to decode"},
      {{"LGCP.Message"}, " msg: C0 \n msg: 06 00", 1, "more than one \"msg:\""},
      // seq announces one octet that never comes
      {{"LGCP.Message", "C0 01"}, "", 1, "decode error: the 2 octets are not a LGCP.Message in aligned PER; the decoder stopped in seq"},
      // command 15 of 15 root alternatives does not exist
      {{"LGCP.Message", "07 80"}, "", 1, "decode error"},
      {{"LGCP.Nothing", "06 00"}, "", 2, "unknown type LGCP.Nothing"},
      {{"Message", "06 00"}, "", 2, "unknown type Message"},
      {{}, "", 2, "usage: kelvad-asn1"},
      {{"--unaligned"}, "", 2, "usage: kelvad-asn1"},
  };
  for (const auto& c : cases) {
    const auto r = run(c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_THAT(r.err, HasSubstr(c.message));
    EXPECT_EQ(r.out, "") << c.message;
  }
}

TEST(KelvadAsn1, NamesTheComponentWhereADeepDecodeStopped) {
  // {seq 1, slot 3, command create trunk {trunk ..., timeslot ...}} cut off
  // before the trunk number
  const auto r = run({"LGCP.Message", "C0 01 01 00 03 08 38"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("stopped in pdu.command.create.trunk.trunk\n"));
}

TEST(KelvadAsn1, SaysWhenATpktLengthDoesNotMatch) {
  const auto r = run({"LGCP.Message", "03 00 00 09 C0 01 05 00 03 40"});
  EXPECT_THAT(r.err, HasSubstr("starts like a TPKT header, but its length 9 is not the 10 octets given"));
}

TEST(KelvadAsn1, NotesOctetsBeyondTheValue) {
  const auto r = run({"MON.Message", "18 FF"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\n  pdu command : ping : NULL\n}\n18\n");
  EXPECT_THAT(r.err, HasSubstr("takes 1 of the 2 octets given"));
}

TEST(KelvadAsn1, ListsTheKnownTypes) {
  const auto r = run({"--list"});
  EXPECT_EQ(r.status, 0);
  for (const char* type : {"LGCP.Message\n", "MON.Message\n", "TERM.RtpParams\n", "ORVAGW.ProtoOrvaPackets\n",
                           "ACP.TrunkStatus\n", "BASE.INTEGER64Bits\n", "HSP.ControllerStatus\n"})
    EXPECT_THAT(r.out, HasSubstr(type));
  const auto mon = run({"--list", "MON"});
  EXPECT_EQ(mon.status, 0);
  EXPECT_THAT(mon.out, HasSubstr("MON.SnmpTrapsink\n"));
  EXPECT_THAT(mon.out, ::testing::Not(HasSubstr("LGCP.")));
  EXPECT_EQ(run({"--list", "NOPE"}).status, 2);
}

TEST(KelvadAsn1Input, TpktHeaderIsRemovedOnlyWhenItsLengthMatches) {
  std::vector<std::uint8_t> frame = {3, 0, 0, 5, 0x18};
  EXPECT_EQ(asn1tool::stripTpkt(frame), asn1tool::Tpkt::removed);
  EXPECT_EQ(frame, std::vector<std::uint8_t>{0x18});
  // an LGCP command may itself start with 03 00
  std::vector<std::uint8_t> payload = {3, 0, 0, 9, 0x18};
  EXPECT_EQ(asn1tool::stripTpkt(payload), asn1tool::Tpkt::mismatched);
  EXPECT_EQ(payload.size(), 5u);
  std::vector<std::uint8_t> shortInput = {3, 0, 0};
  EXPECT_EQ(asn1tool::stripTpkt(shortInput), asn1tool::Tpkt::absent);
}

} // namespace
