#include "support/EventErrors.h"

#include <gtest/gtest.h>

namespace scopewatch::testing {

EventErrors& TheEventErrors() {
    static EventErrors errors;
    return errors;
}

void RecordEventError(const std::string& what) {
    TheEventErrors().seen.push_back(what);
    if (!TheEventErrors().expected) {
        ADD_FAILURE() << "an error escaped an event handler: " << what;
    }
}

}  // namespace scopewatch::testing
