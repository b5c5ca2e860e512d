#include "replay/ReplayTexts.h"

#include <QString>
#include <cmath>
#include <cstdio>

namespace scopewatch::replay {

std::string EndpointText(const capture::Endpoint& endpoint) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u:%u", (endpoint.ip >> 24) & 0xFF,
                  (endpoint.ip >> 16) & 0xFF, (endpoint.ip >> 8) & 0xFF, endpoint.ip & 0xFF,
                  endpoint.port);
    return text;
}

std::string ClockText(double seconds) {
    const long long whole = std::llround(std::floor(std::max(seconds, 0.0)));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

std::string OffsetText(int64_t micros) {
    const long long millis = std::max<int64_t>(micros, 0) / 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", millis / 3'600'000,
                  millis / 60'000 % 60, millis / 1000 % 60, millis % 1000);
    return text;
}

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

}  // namespace scopewatch::replay
