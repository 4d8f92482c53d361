#pragma once

#include "service/StationOptions.h"

#include <QStringList>

// Reads the station's command line. Nothing is printed or ended here: the
// caller shows the help, the version or the error and picks the exit status.
class CommandLine
{
public:
    // CheckConfig: say what Run would do with the settings file, and end.
    enum class Action { Run, CheckConfig, Review, ShowHelp, ShowVersion, Fail };

    struct Result
    {
        Action action = Action::Fail;
        StationOptions options;
        QString error; // for Fail: one line saying what is wrong
        // Qt's -platform NAME was given: the window goes where it says.
        bool platformGiven = false;
    };

    // arguments[0] is the program, as QCoreApplication::arguments() gives it.
    static Result parse(const QStringList &arguments);
    static QString helpText();
};
