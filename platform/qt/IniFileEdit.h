#pragma once

#include <QString>

#include <functional>

class FileSnapshot;
class IniFile;

// One change to a settings file made the way no other writer's change is
// lost: under the lock file QSettings uses ("FILE.lock", waited for a
// little), read afresh, edited as its text, and replaced whole. A file with
// a line that is no setting is never written, as the change might belong to
// that broken line's section.
namespace IniFileEdit {

inline constexpr int LOCK_WAIT_MS = 2000;

enum class Outcome { Written, CannotWrite, Damaged };

// Applies `edit` to the file at path (created with its folder when
// missing); why says what stood in the way when it is not Written.
Outcome apply(const QString &path, FileSnapshot &snapshot,
              const std::function<void(IniFile &)> &edit, QString *why);

} // namespace IniFileEdit
