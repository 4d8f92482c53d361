#pragma once

#include "fakes/FakeMessageBox.h"
#include "fakes/FaultsOver.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "station/ModuleLink.h"

// The station's side of a line to the simulator: the real serial port on
// the given device as port 1, and the module link over it.
struct StationLink
{
    explicit StationLink(const QString &devicePath) : port(portOne(devicePath)) { }

    static PortMap portOne(const QString &devicePath)
    {
        PortMap ports;
        ports.setDevice(1, devicePath);
        return ports;
    }

    QtSerialPortAdapter port;
    FakeMessageBox messages;
    SystemClock clock;
    FaultsOver faults{messages, clock};
    ModuleLink link{port, faults.reporter, clock};
};
