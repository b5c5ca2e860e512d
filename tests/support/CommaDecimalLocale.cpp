#include "support/CommaDecimalLocale.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace scopewatch::testing {

CommaDecimalLocale::CommaDecimalLocale() {
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous_ = current != nullptr ? current : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                             "nl_NL.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) {
            continue;
        }
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 0.5);
        if (std::strcmp(text, "0,5") == 0) {
            active_ = true;
            return;
        }
    }
    std::setlocale(LC_ALL, previous_.c_str());
}

CommaDecimalLocale::~CommaDecimalLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
}

const char* CommaDecimalLocale::skipReason() {
    return "no locale with a decimal comma is installed (scripts/install-deps.sh generates "
           "de_DE.UTF-8)";
}

}  // namespace scopewatch::testing
