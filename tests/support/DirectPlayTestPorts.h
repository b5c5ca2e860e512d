#pragma once

#include "directplay/DirectPlayTransport.h"

namespace scopewatch::testing {

// Ports for one socket test, on 127.0.0.1 only. Every test case picks its own number between
// 47600 and 47799 (tests/architecture/TestPortsTest.cpp fails when two test cases share one)
// and gets an enumeration port, 30000 + (number - 47600), and ten session ports of its own,
// 20000 + 10 * (number - 47600) onwards. Tests that run side by side therefore never share a
// port: a port freed by one test and taken by another would make the second look like the
// first to its peers. All of them lie below 32768, where the system picks the local ports of
// outgoing connections, so no connection of the machine can hold a port a test listens on.
inline directplay::PortPlan DirectPlayTestPorts(uint16_t number) {
    directplay::PortPlan plan;
    plan.enumPort = static_cast<uint16_t>(30000 + (number - 47600));
    plan.rangeFirst = static_cast<uint16_t>(20000 + 10 * (number - 47600));
    plan.rangeLast = static_cast<uint16_t>(plan.rangeFirst + 9);
    plan.bindAddress = QHostAddress::LocalHost;
    return plan;
}

}  // namespace scopewatch::testing
