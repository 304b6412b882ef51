// The local host's network address, as the default server address and in
// reports: the first IPv4 address the host name resolves to.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

// In network byte order; all bits set (255.255.255.255) when the host name
// does not resolve to an IPv4 address.
std::uint32_t GetLocalIPAddress();
// Dotted decimal text of an address in network byte order.
AnsiString IPAddressToStr(std::uint32_t address);
