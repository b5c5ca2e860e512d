#include "mainwindow/ControllerAidsStore.h"

#include <algorithm>
#include <iterator>

namespace scopewatch {
namespace {

// On only when the value says so in words a settings file keeps a switch in.
bool ReadSwitch(const QSettings& settings, const char* key) {
    return settings.value(key).toString() == "true";
}

}  // namespace

ControllerAids LoadControllerAids(QSettings& settings) {
    settings.beginGroup("ControllerAids");
    ControllerAids aids;
    aids.historyTrails = ReadSwitch(settings, "historyTrails");
    aids.trackVectors = ReadSwitch(settings, "trackVectors");
    aids.rangeRings = ReadSwitch(settings, "rangeRings");
    aids.readableLabels = ReadSwitch(settings, "readableLabels");
    aids.recordSessions = settings.value("recordSessions").toString() != "false";
    const int minutes = settings.value("vectorMinutes", 1).toInt();
    const auto& choices = ControllerAids::kVectorMinuteChoices;
    aids.vectorMinutes =
        std::find(std::begin(choices), std::end(choices), minutes) != std::end(choices) ? minutes
                                                                                        : 1;
    settings.endGroup();
    return aids;
}

void SaveControllerAids(QSettings& settings, const ControllerAids& aids) {
    settings.beginGroup("ControllerAids");
    settings.setValue("historyTrails", aids.historyTrails);
    settings.setValue("trackVectors", aids.trackVectors);
    settings.setValue("rangeRings", aids.rangeRings);
    settings.setValue("readableLabels", aids.readableLabels);
    settings.setValue("recordSessions", aids.recordSessions);
    settings.setValue("vectorMinutes", aids.vectorMinutes);
    settings.endGroup();
    settings.sync();
}

}  // namespace scopewatch
