#pragma once

#include <QStringList>

// dgh-sim arguments for every module giving one answer, always the same:
// the readings the end-to-end tests compare a log and its messages with.
inline QStringList fixedAnswers()
{
    QStringList arguments{"--fast"};
    for (const char *answer : {"1=*+0021.37", "2=*+0022.50", "3=*+0023.00", "5=*+0172.50",
                               "6=*+02450.00", "7=*+02600.00"})
        arguments << "--answer" << answer;
    return arguments;
}
