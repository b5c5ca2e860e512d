#include "model/AircraftNotes.h"

#include "shared/Trim.h"

namespace scopewatch {

void AircraftNotes::Set(const std::string& name, const std::string& note) {
    const std::string kept = TrimSpaces(TrimSpaces(note).substr(0, kMaxLength));
    if (kept.empty()) {
        notes_.erase(name);
    } else {
        notes_[name] = kept;
    }
}

const std::string& AircraftNotes::Of(const std::string& name) const {
    static const std::string kNone;
    const auto found = notes_.find(name);
    return found != notes_.end() ? found->second : kNone;
}

}  // namespace scopewatch
