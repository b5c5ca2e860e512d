#pragma once

#include "directplay/DirectPlayTransport.h"

namespace scopewatch::testing {

// Ports for one socket test, on 127.0.0.1 only. Every test picks its own enumeration port
// between 47600 and 47799 and gets ten session ports of its own, 20000 + 10 * (enumPort -
// 47600) onwards. Tests that run side by side therefore never share a port: a port freed by
// one test and taken by another would make the second look like the first to its peers.
inline directplay::PortPlan DirectPlayTestPorts(uint16_t enumPort) {
    directplay::PortPlan plan;
    plan.enumPort = enumPort;
    plan.rangeFirst = static_cast<uint16_t>(20000 + 10 * (enumPort - 47600));
    plan.rangeLast = static_cast<uint16_t>(plan.rangeFirst + 9);
    plan.bindAddress = QHostAddress::LocalHost;
    return plan;
}

}  // namespace scopewatch::testing
