#pragma once

#include <QDir>
#include <QString>

namespace platform {

// The name of the entry of dir that is name without regard to letter case, as
// Windows finds a file: name itself when an entry is spelt exactly so, otherwise
// the first such entry in name order. Empty when there is none.
QString findEntryIgnoringCase(const QDir &dir, const QString &name);

// Puts a folder's entries on disk as they stand: names made, renamed or
// removed in it survive a crash. Best effort; nothing is said when it fails.
void syncFolder(const QString &folder);

} // namespace platform
