#pragma once

#include <map>
#include <string>
#include <vector>

#include "replay/Observation.h"

namespace scopewatch::replay {

// The join exchanges of an observation, each machine's kept by its stream address: one begins
// when a machine asks for the sessions or for its machine's id, and takes every later step
// of that machine's way in. At most kListedJoins exchanges of kListedJoinSteps steps each are
// listed; the rest are counted.
class JoinLog {
  public:
    JoinLog(std::vector<JoinExchange>& joins, uint64_t& joinsLeftOut)
        : joins_(joins), joinsLeftOut_(joinsLeftOut) {}

    // A step that starts the machine's exchange unless one is under way.
    void Begin(const capture::Endpoint& joiner, const capture::CapturedFrame& frame,
               std::string text);
    // A step of the machine's exchange, if it has one.
    void Step(const capture::Endpoint& joiner, const capture::CapturedFrame& frame,
              std::string text);
    bool Joining(const capture::Endpoint& joiner) const { return index_.count(joiner) != 0; }

  private:
    std::vector<JoinExchange>& joins_;
    uint64_t& joinsLeftOut_;
    std::map<capture::Endpoint, size_t> index_;
};

}  // namespace scopewatch::replay
