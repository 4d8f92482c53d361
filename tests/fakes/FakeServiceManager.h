#pragma once

#include "service/ServiceManager.h"

#include <QByteArrayList>

// A service manager that keeps what it was told.
class FakeServiceManager : public ServiceManager
{
public:
    quint64 usec = 0;
    QByteArrayList told;

    quint64 watchdogUsec() const override { return usec; }
    void notify(const QByteArray &state) override { told << state; }
};
