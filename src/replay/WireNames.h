#pragma once

#include <cstdint>
#include <string>

namespace scopewatch::replay {

// A DirectPlay command's name ("ENUMSESSIONS"); "command 0x42" for one that has none.
std::string CommandName(uint16_t command);
// The session flags set, in words ("keep-alive, migrate host"); "none" for none.
std::string SessionFlagsText(uint32_t flags);

}  // namespace scopewatch::replay
