#pragma once

#include <map>
#include <string>

namespace scopewatch {

// The controller's note on each aircraft, by pilot name (Windows-1252 texts). A note stays
// with the name while the session runs, whatever the traffic table's refresh does; the
// session's end forgets every note.
class AircraftNotes {
  public:
    static constexpr size_t kMaxLength = 24;

    // Keeps the note for the name, cut to its first 24 characters and without the spaces
    // around it; an empty note removes the name's note.
    void Set(const std::string& name, const std::string& note);
    // The name's note, "" when it has none.
    const std::string& Of(const std::string& name) const;
    void Clear() { notes_.clear(); }
    bool empty() const { return notes_.empty(); }

  private:
    std::map<std::string, std::string> notes_;
};

}  // namespace scopewatch
