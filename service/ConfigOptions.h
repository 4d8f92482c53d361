#pragma once

#include "service/StationOptions.h"

#include <QStringList>

class StationConfig;

// The options station.conf gives, one key for each option of the command
// line, and the two merged. Sections and keys:
//   [station] headless, unattended   (yes/no)
//   [port]    simulate (yes/no), device.N = PATH   (--device N=PATH)
//   [polling] groups = flow, ph, therm; plot (yes/no)
//   [log]     file, mode = append | overwrite, interval = SECONDS, rotate = daily
//   [mqtt]    broker, station-id, tls, user, password-file
// [alarms] belongs to the alarms, which read it themselves.
namespace ConfigOptions {

// Every value that does not do is a problem naming its line; a key or a
// section the station does not know is a warning, and left alone. Paths are
// made absolute from the folder the station starts in, as on the command
// line.
StationOptions read(const StationConfig &config, QStringList *problems, QStringList *warnings);

// The file's options with the command line's over them, group by group:
// --device N replaces the file's port N (--simulate and --device 1 replace
// each other), --poll the groups, --log with its mode and interval the
// whole of [log], --mqtt with its companions the whole of [mqtt]; a switch
// (--unattended, --headless, --plot, --simulate) turns on what the file
// leaves off.
StationOptions merge(const StationOptions &file, const StationOptions &commandLine);

} // namespace ConfigOptions
