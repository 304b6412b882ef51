// The local host's address (see net_info.h).

#include "platform/rtl/net_info.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <climits>

std::uint32_t GetLocalIPAddress() {
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) != 0) return 0xFFFFFFFFu;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return 0xFFFFFFFFu;
  std::uint32_t address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return address;
}

AnsiString IPAddressToStr(std::uint32_t address) {
  std::uint32_t host_order = ntohl(address);
  return std::to_string(host_order >> 24) + "." + std::to_string((host_order >> 16) & 0xFF) +
         "." + std::to_string((host_order >> 8) & 0xFF) + "." + std::to_string(host_order & 0xFF);
}
