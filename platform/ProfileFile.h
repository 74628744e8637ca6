#pragma once

#include "IniDocument.h"

#include <QString>

namespace platform {

// A profile file on disk, such as zeko.ini, read and written as IniDocument
// reads and writes its bytes.
class ProfileFile {
  public:
    // A missing or unreadable file reads as an empty one, and so does anything but
    // a regular file (after links): a FIFO would block, a device could be endless.
    [[nodiscard]] static ProfileRead readFile(const QString &unixPath, const QString &section,
                                              const QString &key, const QString &defaultValue,
                                              int bufferSize);
    // Writes atomically (temporary file, fsync, rename): a crash leaves either the
    // old or the new file, never a truncated one. Fails, changing nothing, when the
    // file is read-only, is not a regular file, or its folder cannot take the new
    // file. The new file keeps the old one's mode, and its owner and group where
    // this process may give them.
    [[nodiscard]] static bool writeFile(const QString &unixPath, const QString &section, const QString &key,
                                        const QString &value, QString *error = nullptr);
};

} // namespace platform
