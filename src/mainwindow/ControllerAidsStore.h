#pragma once

#include <QSettings>

#include "model/ControllerAids.h"

namespace scopewatch {

// The controller's aids as the user chose them, kept in the user's configuration (never in
// the program's settings file). Values that cannot be read fall back to the aid off and a
// vector of one minute; only a stored "false" switches the recording of sessions off.
ControllerAids LoadControllerAids(QSettings& settings);
void SaveControllerAids(QSettings& settings, const ControllerAids& aids);

}  // namespace scopewatch
