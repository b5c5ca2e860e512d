#pragma once

namespace scopewatch::directplay {

// Time limits of the protocol; tests shorten them.
struct Timings {
    // An unanswered request (an id, the join) is sent again after this long.
    int replyTimeoutMs = 5000;
    // The whole of a join, and of the creation of a player: the host may wait 15 s itself for
    // the others' acknowledgements, and a lossy link can take seconds from each request.
    int joinTimeoutMs = 25000;
    int addForwardWaitMs = 15000;  // host: acknowledgements of the other machines
    int keepAliveMs = 35000;       // silence before a ping
    int maxMissedPings = 8;        // unanswered pings before a machine counts as gone
    int verifyWindowMs = 40000;    // we verify our new players to machines joining meanwhile
    int flushTimeoutMs = 1000;     // leaving: time to get the last messages out
    int lookupTimeoutMs = 10000;   // the host's name
};

}  // namespace scopewatch::directplay
