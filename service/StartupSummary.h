#pragma once

#include "service/StationOptions.h"

#include <QString>

class PortMap;

// What a run with these options would do, one line for each thing it
// touches, for --check-config to print.
namespace StartupSummary {

QString text(const StationOptions &options, const PortMap &ports);

} // namespace StartupSummary
