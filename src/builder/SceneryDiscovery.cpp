#include "builder/SceneryDiscovery.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

constexpr const char* kLineEnd = "\r\n";

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return AnsiLower(a) == AnsiLower(b);
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return AnsiLower(text).find(AnsiLower(part)) != std::string::npos;
}

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Every line that starts with "[" and holds a "]", cut after its first "]".
std::vector<std::string> SectionHeaders(const std::vector<std::string>& lines) {
    std::vector<std::string> headers;
    for (const std::string& line : lines) {
        const size_t close = line.find(']');
        if (!line.empty() && line.front() == '[' && close != std::string::npos) {
            headers.push_back(line.substr(0, close + 1));
        }
    }
    return headers;
}

// The non-empty lines as one text, each followed by CR LF.
std::string JoinNonEmptyLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            text += line + kLineEnd;
        }
    }
    return text;
}

// The text of a section: from the header's first occurrence up to the next header, which
// is looked for after the start of this one.
std::string SectionText(const std::string& text, const std::string& lowerText,
                        const std::string& header, const std::string* nextHeader) {
    const size_t start = lowerText.find(AnsiLower(header));
    if (start == std::string::npos) {
        return {};
    }
    size_t end = std::string::npos;
    if (nextHeader != nullptr) {
        end = lowerText.find(AnsiLower(*nextHeader), start + header.size());
    }
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

SceneryArea AreaFromSection(const std::string& section) {
    SceneryArea area;
    area.title = GetKeyValue(section, "Title");
    area.textureId = GetKeyValue(section, "Texture_ID");
    area.active = GetKeyValue(section, "Active");
    area.layer = GetKeyValue(section, "Layer");
    area.required = GetKeyValue(section, "Required");
    area.remote = GetKeyValue(section, "Remote");
    area.local = GetKeyValue(section, "Local");
    return area;
}

// Replaces every occurrence of part (letter case ignored) in an already lower-cased text.
std::string ReplaceIgnoringCase(const std::string& lowerText, const std::string& part,
                                const std::string& replacement) {
    const std::string lowerPart = AnsiLower(part);
    std::string result;
    size_t from = 0;
    for (size_t at = lowerText.find(lowerPart); at != std::string::npos;
         at = lowerText.find(lowerPart, from)) {
        result += lowerText.substr(from, at - from) + replacement;
        from = at + lowerPart.size();
    }
    return result + lowerText.substr(from);
}

bool IsDiskOrCd(const Drive& drive) {
    return drive.type == DriveType::Fixed || drive.type == DriveType::CdRom;
}

// The drive's path as scenery.cfg entries name it: the letter and a colon.
std::string DrivePath(const Drive& drive) {
    return AnsiLower(drive.rootPath.substr(0, 2));
}

void ReplaceVolumeLabel(SceneryArea& area, const std::vector<Drive>& drives) {
    for (const Drive& drive : drives) {
        if (!IsDiskOrCd(drive) || !drive.volumeLabel) {
            continue;
        }
        const std::string bracketed = "[" + *drive.volumeLabel + "]";
        const std::string& local = area.local;
        if (!local.empty() && local.front() == '[' && local.find(']') != std::string::npos &&
            ContainsIgnoringCase(local, bracketed)) {
            area.local = ReplaceIgnoringCase(AnsiLower(local), bracketed, DrivePath(drive));
        }
    }
}

bool NamesADrive(const std::string& local, const std::vector<Drive>& drives) {
    return std::any_of(drives.begin(), drives.end(), [&](const Drive& drive) {
        return IsDiskOrCd(drive) && ContainsIgnoringCase(local, DrivePath(drive));
    });
}

bool IsRequiredAreaTitled(const SceneryArea& area, const std::string& title) {
    return EqualsIgnoringCase(area.title, title) && EqualsIgnoringCase(area.required, "TRUE");
}

}  // namespace

std::vector<SceneryArea> ParseSceneryCfg(const std::string& content) {
    const std::vector<std::string> lines = SplitLines(content);
    const std::vector<std::string> headers = SectionHeaders(lines);
    const std::string text = JoinNonEmptyLines(lines);
    const std::string lowerText = AnsiLower(text);
    std::vector<SceneryArea> areas;
    for (size_t i = 0; i < headers.size(); ++i) {
        if (!ContainsIgnoringCase(headers[i], "[area.")) {
            continue;
        }
        const std::string* next = i + 1 < headers.size() ? &headers[i + 1] : nullptr;
        areas.push_back(AreaFromSection(SectionText(text, lowerText, headers[i], next)));
    }
    return areas;
}

std::string GetKeyValue(const std::string& section, const std::string& key) {
    const std::string text = kLineEnd + section;
    const size_t found = AnsiLower(text).find(AnsiLower(key + "="));
    if (found == std::string::npos) {
        return {};
    }
    const size_t start = found + key.size() + 1;
    const size_t end = text.find(kLineEnd, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void ResolveAreaPaths(std::vector<SceneryArea>& areas, const std::string& simFolder,
                      const std::vector<Drive>& drives) {
    for (SceneryArea& area : areas) {
        ReplaceVolumeLabel(area, drives);
    }
    const std::string simScenery = simFolder + "\\Scenery";
    for (SceneryArea& area : areas) {
        if (!area.local.empty() && !EqualsIgnoringCase(area.local, simScenery)) {
            area.local = AnsiLower(area.local) + "\\scenery";
        }
    }
    for (SceneryArea& area : areas) {
        if (!area.local.empty() && !NamesADrive(area.local, drives)) {
            area.local = simFolder + "\\" + area.local;
        }
    }
}

bool IsAirportArea(const SceneryArea& area) {
    return IsRequiredAreaTitled(area, "Airport and Facilities Data");
}

bool IsFacilityDataArea(const SceneryArea& area) {
    return IsRequiredAreaTitled(area, "Additional Facility Data");
}

bool NeedsSimulatorCd(const std::vector<SceneryArea>& areas) {
    return std::any_of(areas.begin(), areas.end(),
                       [](const SceneryArea& area) { return !area.remote.empty(); });
}

std::string FacilityDataFolderOf(const std::vector<SceneryArea>& areas,
                                 const std::string& current) {
    std::string folder = current;
    for (const SceneryArea& area : areas) {
        if (IsFacilityDataArea(area)) {
            folder = area.local;
        }
    }
    return folder;
}

}  // namespace scopewatch
