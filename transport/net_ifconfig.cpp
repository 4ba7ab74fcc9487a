#include "transport/net_ifconfig.h"

#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace Net {

namespace {

constexpr int kMaxInterfaces = 16;

class KernelInterfaceQuery final : public InterfaceQuery {
 public:
  int open_socket() override { return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0); }
  int ioctl(int fd, unsigned long request, void* arg) override { return ::ioctl(fd, request, arg); }
  void close_socket(int fd) override { ::close(fd); }
};

InterfaceQuery* current = nullptr;

// Runs SIOCGIFCONF; the entries it filled, or -1 without a socket.
template <class Each>
int for_each_interface(Each each) {
  InterfaceQuery& query = interface_query();
  int fd = query.open_socket();
  if (fd < 0) return -1;
  ifreq entries[kMaxInterfaces];
  std::memset(entries, 0, sizeof entries);
  ifconf conf{};
  conf.ifc_len = sizeof entries;
  conf.ifc_req = entries;
  int added = 0;
  if (query.ioctl(fd, SIOCGIFCONF, &conf) == 0) {
    // A back-end that claims more than the room given must not make us read past it.
    int filled = conf.ifc_len < 0 ? 0 : conf.ifc_len / int(sizeof(ifreq));
    if (filled > kMaxInterfaces) filled = kMaxInterfaces;
    for (int i = 0; i < filled; ++i) {
      entries[i].ifr_name[IFNAMSIZ - 1] = '\0';
      added += each(query, fd, entries[i]);
    }
  }
  query.close_socket(fd);
  return added;
}

}  // namespace

InterfaceQuery& kernel_interface_query() {
  static KernelInterfaceQuery kernel;
  return kernel;
}

InterfaceQuery& interface_query() { return current ? *current : kernel_interface_query(); }

void set_interface_query(InterfaceQuery* query) { current = query; }

bool is_private(const INet4::Addr& addr) {
  uint32_t a = addr.address();
  return (a >> 24) == 10 || (a >> 20) == ((172u << 4) | 1) || (a >> 16) == ((192u << 8) | 168);
}

int ifconfig(std::list<INet4::Addr>& list, int mode) {
  return for_each_interface([&](InterfaceQuery& query, int fd, ifreq& entry) {
    if (entry.ifr_addr.sa_family != AF_INET) return 0;
    ifreq request = entry;
    if (query.ioctl(fd, SIOCGIFADDR, &request) != 0 || request.ifr_addr.sa_family != AF_INET) return 0;
    sockaddr_in sa;
    std::memcpy(&sa, &request.ifr_addr, sizeof sa);
    INet4::Addr addr;
    addr.Assign(ntohl(sa.sin_addr.s_addr));
    if (mode == ifconfig_private && !is_private(addr)) return 0;
    list.push_back(addr);
    return 1;
  });
}

int ifconfig(std::list<std::string>& names, short flags) {
  return for_each_interface([&](InterfaceQuery& query, int fd, ifreq& entry) {
    ifreq request = entry;
    if (query.ioctl(fd, SIOCGIFFLAGS, &request) != 0) return 0;
    if ((request.ifr_flags & flags) != flags) return 0;
    names.push_back(entry.ifr_name);
    return 1;
  });
}

}  // namespace Net
