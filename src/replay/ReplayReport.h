#pragma once

#include <string>

namespace scopewatch::replay {

struct Recording;

// What a recording says of its session, as scopewatch-replay-info prints it: the capture, the
// session (name, flags, dialect, host), every machine and player with its id, name and
// addresses and each aircraft's first and last position, the joins step by step, the messages
// per DirectPlay command and per game message kind, the frames that could not be read or that
// the sender rules would refuse (each with where it is in the file), and the duration.
std::string ReportText(const Recording& recording);
// The same as one JSON document.
std::string ReportJson(const Recording& recording);

}  // namespace scopewatch::replay
