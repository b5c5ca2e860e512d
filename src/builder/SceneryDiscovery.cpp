#include "builder/SceneryDiscovery.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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
            text += line;
            text += kLineEnd;
        }
    }
    return text;
}

// Where the section headers stand in the lower-case text, anywhere in it (a header's text
// may stand inside another line too). A header is "[", then no "]", then "]": so at each "["
// of the text only the stretch up to the next "]" can be one, and one pass over the text
// finds every place of every header instead of one search through the text per section.
class HeaderPlaces {
  public:
    HeaderPlaces(std::string_view lowerText, const std::vector<std::string>& lowerHeaders) {
        for (const std::string& header : lowerHeaders) {
            places_.try_emplace(header);
            lengths_.insert(header.size());
        }
        size_t close = std::string_view::npos;
        for (size_t open = lowerText.find('['); open != std::string_view::npos;
             open = lowerText.find('[', open + 1)) {
            if (close == std::string_view::npos || close < open) {
                close = lowerText.find(']', open + 1);
                if (close == std::string_view::npos) {
                    break;
                }
            }
            const size_t length = close - open + 1;
            if (lengths_.count(length) != 0) {
                const auto header = places_.find(lowerText.substr(open, length));
                if (header != places_.end()) {
                    header->second.push_back(open);
                }
            }
        }
    }

    // The first place of the header at or after `from`; npos when there is none.
    size_t Find(const std::string& lowerHeader, size_t from) const {
        const auto header = places_.find(lowerHeader);
        if (header == places_.end()) {
            return std::string_view::npos;
        }
        const std::vector<size_t>& places = header->second;
        const auto place = std::lower_bound(places.begin(), places.end(), from);
        return place == places.end() ? std::string_view::npos : *place;
    }

  private:
    // Keyed by views of the caller's header texts, which outlive this.
    std::unordered_map<std::string_view, std::vector<size_t>> places_;
    std::unordered_set<size_t> lengths_;
};

// The value of a key in a section given with its lower-case text (see GetKeyValue).
std::string_view KeyValueIn(std::string_view section, std::string_view lowerSection,
                            const std::string& key) {
    const size_t found = lowerSection.find(AnsiLower(key + "="));
    if (found == std::string_view::npos) {
        return {};
    }
    const size_t start = found + key.size() + 1;
    return section.substr(start, section.find(kLineEnd, start) - start);
}

SceneryArea AreaFromSection(std::string_view section, std::string_view lowerSection) {
    const auto value = [&](const std::string& key) {
        return std::string(KeyValueIn(section, lowerSection, key));
    };
    SceneryArea area;
    area.title = value("Title");
    area.textureId = value("Texture_ID");
    area.active = value("Active");
    area.layer = value("Layer");
    area.required = value("Required");
    area.remote = value("Remote");
    area.local = value("Local");
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

// Each area's section runs from the first place of its header's text to the first place of
// the next header's text after it.
std::vector<SceneryArea> ParseSceneryCfg(const std::string& content) {
    const std::vector<std::string> lines = SplitLines(content);
    const std::vector<std::string> headers = SectionHeaders(lines);
    const std::string text = JoinNonEmptyLines(lines);
    const std::string lowerText = AnsiLower(text);
    std::vector<std::string> lowerHeaders;
    lowerHeaders.reserve(headers.size());
    for (const std::string& header : headers) {
        lowerHeaders.push_back(AnsiLower(header));
    }
    const HeaderPlaces places(lowerText, lowerHeaders);
    std::vector<SceneryArea> areas;
    for (size_t i = 0; i < headers.size(); ++i) {
        if (lowerHeaders[i].find("[area.") == std::string::npos) {
            continue;
        }
        const size_t start = places.Find(lowerHeaders[i], 0);
        if (start == std::string_view::npos) {
            areas.emplace_back();
            continue;
        }
        size_t end = std::string_view::npos;
        if (i + 1 < headers.size()) {
            end = places.Find(lowerHeaders[i + 1], start + headers[i].size());
        }
        const size_t length = end == std::string_view::npos ? end : end - start;
        areas.push_back(AreaFromSection(std::string_view(text).substr(start, length),
                                        std::string_view(lowerText).substr(start, length)));
    }
    return areas;
}

std::string GetKeyValue(const std::string& section, const std::string& key) {
    const std::string text = kLineEnd + section;
    return std::string(KeyValueIn(text, AnsiLower(text), key));
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
