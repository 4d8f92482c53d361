#pragma once

#include <QString>

// A modal file chooser. Cancel raises no error and leaves the preset name.
class FileChooser
{
public:
    // Ask before accepting a name whose file does not exist yet.
    static constexpr int PromptToCreate = 8192;

    virtual ~FileChooser() = default;
    // Returns the chosen name, or presetName when the operator cancelled.
    virtual QString choose(const QString &filter, const QString &presetName, int flags) = 0;
};
