#include "replay/JoinLog.h"

namespace scopewatch::replay {

void JoinLog::Begin(const capture::Endpoint& joiner, const capture::CapturedFrame& frame,
                    std::string text) {
    if (!Joining(joiner)) {
        if (joins_.size() >= kListedJoins) {
            ++joinsLeftOut_;
            return;
        }
        index_.emplace(joiner, joins_.size());
        joins_.push_back(JoinExchange{joiner, {}, 0});
    }
    Step(joiner, frame, std::move(text));
}

void JoinLog::Step(const capture::Endpoint& joiner, const capture::CapturedFrame& frame,
                   std::string text) {
    const auto found = index_.find(joiner);
    if (found == index_.end()) {
        return;
    }
    JoinExchange& exchange = joins_[found->second];
    if (exchange.steps.size() >= kListedJoinSteps) {
        ++exchange.stepsLeftOut;
        return;
    }
    exchange.steps.push_back(JoinStep{frame.microseconds, frame.place, std::move(text)});
}

}  // namespace scopewatch::replay
