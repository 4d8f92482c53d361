#pragma once

#include "service/StationOptions.h"

#include <QStringList>

// Reads the station's command line. Nothing is printed or ended here: the
// caller shows the help, the version or the error and picks the exit status.
class CommandLine
{
public:
    enum class Action { Run, Review, ShowHelp, ShowVersion, Fail };

    struct Result
    {
        Action action = Action::Fail;
        StationOptions options;
        QString error; // for Fail: one line saying what is wrong
    };

    // arguments[0] is the program, as QCoreApplication::arguments() gives it.
    static Result parse(const QStringList &arguments);
    static QString helpText();
};
