// Interface listing: the private-address filter, the names variant and the
// guards against a back-end's answers, through a scripted interface query.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "transport/net_ifconfig.h"

namespace {

struct FakeInterface {
  std::string name;
  int family;
  const char* address;
  short flags;
};

class ScriptedQuery : public Net::InterfaceQuery {
 public:
  explicit ScriptedQuery(std::vector<FakeInterface> interfaces) : interfaces_(std::move(interfaces)) {
    Net::set_interface_query(this);
  }
  ~ScriptedQuery() override { Net::set_interface_query(nullptr); }

  int open_socket() override { return no_socket ? -1 : 42; }
  void close_socket(int fd) override { closed.push_back(fd); }
  int ioctl(int fd, unsigned long request, void* arg) override {
    EXPECT_EQ(fd, 42);
    if (request == SIOCGIFCONF) {
      auto* conf = static_cast<ifconf*>(arg);
      size_t room = size_t(conf->ifc_len) / sizeof(ifreq);
      size_t n = std::min(room, interfaces_.size());
      for (size_t i = 0; i < n; ++i) fill(conf->ifc_req[i], interfaces_[i], false);
      conf->ifc_len = int((claim_more ? n + 5 : n) * sizeof(ifreq));
      return 0;
    }
    auto* req = static_cast<ifreq*>(arg);
    for (const FakeInterface& i : interfaces_) {
      if (i.name != req->ifr_name) continue;
      if (request == SIOCGIFADDR) fill(*req, i, false);
      else if (request == SIOCGIFFLAGS) req->ifr_flags = i.flags;
      else return -1;
      return 0;
    }
    return -1;
  }

  bool no_socket = false;
  bool claim_more = false;
  std::vector<int> closed;

 private:
  static void fill(ifreq& req, const FakeInterface& i, bool) {
    std::memset(&req, 0, sizeof req);
    std::strncpy(req.ifr_name, i.name.c_str(), IFNAMSIZ - 1);
    sockaddr_in sa{};
    sa.sin_family = sa_family_t(i.family);
    ::inet_aton(i.address, &sa.sin_addr);
    std::memcpy(&req.ifr_addr, &sa, sizeof sa);
  }
  std::vector<FakeInterface> interfaces_;
};

std::vector<std::string> texts(const std::list<INet4::Addr>& list) {
  std::vector<std::string> out;
  for (const INet4::Addr& a : list) out.push_back(a.GetString());
  return out;
}

const std::vector<FakeInterface> board = {
    {"lo", AF_INET, "127.0.0.1", IFF_UP | IFF_LOOPBACK},
    {"eth0", AF_INET, "10.1.2.3", IFF_UP | IFF_RUNNING},
    {"eth1", AF_INET, "172.16.0.1", IFF_UP},
    {"eth2", AF_INET, "172.31.255.254", 0},
    {"eth3", AF_INET, "172.32.0.1", IFF_UP | IFF_RUNNING},
    {"eth4", AF_INET, "192.168.7.7", IFF_UP | IFF_RUNNING},
    {"eth5", AF_INET, "192.169.0.1", IFF_UP},
    {"wan", AF_INET, "8.8.8.8", IFF_UP | IFF_RUNNING},
};

TEST(Ifconfig, PrivateModeKeepsOnlyPrivateRanges) {
  ScriptedQuery query(board);
  std::list<INet4::Addr> list;
  EXPECT_EQ(Net::ifconfig(list, Net::ifconfig_private), 4);
  EXPECT_EQ(texts(list), (std::vector<std::string>{"10.1.2.3:0", "172.16.0.1:0", "172.31.255.254:0",
                                                   "192.168.7.7:0"}));
  EXPECT_EQ(query.closed, std::vector<int>{42});
}

TEST(Ifconfig, OtherModesListEveryAddressAndAppend) {
  ScriptedQuery query(board);
  std::list<INet4::Addr> list;
  list.emplace_back();
  EXPECT_EQ(Net::ifconfig(list, Net::ifconfig_all), int(board.size()));
  EXPECT_EQ(list.size(), board.size() + 1);
}

TEST(Ifconfig, NamesWithAllOfTheFlags) {
  ScriptedQuery query(board);
  std::list<std::string> names;
  EXPECT_EQ(Net::ifconfig(names, short(IFF_UP | IFF_RUNNING)), 4);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()),
            (std::vector<std::string>{"eth0", "eth3", "eth4", "wan"}));
}

TEST(Ifconfig, NoSocketGivesMinusOne) {
  ScriptedQuery query(board);
  query.no_socket = true;
  std::list<INet4::Addr> list;
  EXPECT_EQ(Net::ifconfig(list, Net::ifconfig_private), -1);
  EXPECT_TRUE(list.empty());
}

TEST(Ifconfig, AtMostSixteenInterfacesEvenWhenTheAnswerClaimsMore) {
  std::vector<std::string> addresses;
  for (int i = 0; i < 20; ++i) addresses.push_back("10.0.0." + std::to_string(i + 1));
  std::vector<FakeInterface> many;
  for (int i = 0; i < 20; ++i) many.push_back({"if" + std::to_string(i), AF_INET, addresses[size_t(i)].c_str(), IFF_UP});
  ScriptedQuery query(many);
  query.claim_more = true;
  std::list<INet4::Addr> list;
  EXPECT_EQ(Net::ifconfig(list, Net::ifconfig_private), 16);
  EXPECT_EQ(list.back().GetString(), "10.0.0.16:0");
}

TEST(Ifconfig, TheKernelListsTheLoopbackAddress) {
  std::list<INet4::Addr> list;
  int n = Net::ifconfig(list, Net::ifconfig_all);
  ASSERT_GE(n, 1);
  std::vector<std::string> all = texts(list);
  EXPECT_NE(std::find(all.begin(), all.end(), "127.0.0.1:0"), all.end());
  std::list<INet4::Addr> private_only;
  EXPECT_LE(Net::ifconfig(private_only, Net::ifconfig_private), n);
}

}  // namespace
