#include "mainwindow/ControllerAidsStore.h"

#include <algorithm>
#include <iterator>

namespace scopewatch {
namespace {

// On only when the value says so in words a settings file keeps a switch in.
bool ReadSwitch(const QSettings& settings, const char* key) {
    return settings.value(key).toString() == "true";
}

// A whole number within its bounds; the default for one that cannot be read or lies outside.
int ReadNumber(const QSettings& settings, const char* key, int fallback, int lowest, int highest) {
    bool read = false;
    const int value = settings.value(key, fallback).toInt(&read);
    return read && value >= lowest && value <= highest ? value : fallback;
}

ConflictLimits ReadLimits(const QSettings& settings) {
    const ConflictLimits standard;
    using Limits = ConflictLimits;
    return {ReadNumber(settings, "lateralNm", standard.lateralNm, Limits::kMinLateralNm,
                       Limits::kMaxLateralNm),
            ReadNumber(settings, "verticalFt", standard.verticalFt, Limits::kMinVerticalFt,
                       Limits::kMaxVerticalFt),
            ReadNumber(settings, "lookAheadSeconds", standard.lookAheadSeconds,
                       Limits::kMinLookAheadSeconds, Limits::kMaxLookAheadSeconds)};
}

// A floor above the ceiling gives the whole band back.
AltitudeBand ReadBand(const QSettings& settings) {
    const AltitudeBand band{ReadNumber(settings, "floorFt", AltitudeBand::kLowestFt,
                                       AltitudeBand::kLowestFt, AltitudeBand::kHighestFt),
                            ReadNumber(settings, "ceilingFt", AltitudeBand::kHighestFt,
                                       AltitudeBand::kLowestFt, AltitudeBand::kHighestFt)};
    return band.floorFt <= band.ceilingFt ? band : AltitudeBand{};
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
    aids.conflictAlert = ReadSwitch(settings, "conflictAlert");
    aids.conflictLimits = ReadLimits(settings);
    aids.altitudeFilter = ReadSwitch(settings, "altitudeFilter");
    aids.altitudeBand = ReadBand(settings);
    aids.sounds = {ReadSwitch(settings, "soundNewConflict"), ReadSwitch(settings, "soundChatLine"),
                   ReadSwitch(settings, "soundPilotJoined")};
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
    settings.setValue("conflictAlert", aids.conflictAlert);
    settings.setValue("lateralNm", aids.conflictLimits.lateralNm);
    settings.setValue("verticalFt", aids.conflictLimits.verticalFt);
    settings.setValue("lookAheadSeconds", aids.conflictLimits.lookAheadSeconds);
    settings.setValue("altitudeFilter", aids.altitudeFilter);
    settings.setValue("floorFt", aids.altitudeBand.floorFt);
    settings.setValue("ceilingFt", aids.altitudeBand.ceilingFt);
    settings.setValue("soundNewConflict", aids.sounds.newConflict);
    settings.setValue("soundChatLine", aids.sounds.chatLine);
    settings.setValue("soundPilotJoined", aids.sounds.pilotJoined);
    settings.endGroup();
    settings.sync();
}

}  // namespace scopewatch
