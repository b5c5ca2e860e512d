#pragma once

#include <string>
#include <vector>

namespace scopewatch::testing {

// Errors that escaped an event handler during the tests. Unless a test has said it expects
// them, each one fails the running test.
struct EventErrors {
    bool expected = false;
    std::vector<std::string> seen;
};

EventErrors& TheEventErrors();
void RecordEventError(const std::string& what);

}  // namespace scopewatch::testing
