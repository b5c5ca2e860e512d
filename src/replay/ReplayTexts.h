#pragma once

#include <cstdint>
#include <string>

#include "capture/CapturedFrame.h"
#include "shared/NumberText.h"

namespace scopewatch::replay {

// "192.168.1.5:2300"
std::string EndpointText(const capture::Endpoint& endpoint);
// A length of time as a clock shows it: "4:05", "1:02:03".
std::string ClockText(double seconds);
// A time into the capture to the millisecond: "0:04:05.123".
std::string OffsetText(int64_t micros);
// UTF-16 as UTF-8.
std::string Utf8(const std::u16string& text);

}  // namespace scopewatch::replay
