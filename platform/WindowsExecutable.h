#pragma once

#include <QString>

namespace platform {

// What kind of Windows program a file holds, read from its PE header.
class WindowsExecutable {
  public:
    enum class Kind {
        Unreadable,  // missing or cannot be opened
        NotWindows,  // no valid MZ/PE header
        X86,         // 32-bit (machine i386)
        X64,         // 64-bit (machine x86-64)
        OtherMachine // a Windows program for another processor (ARM and so on)
    };

    // Reads only the headers; never throws, whatever the file holds.
    static Kind kindOf(const QString &unixPath);
};

} // namespace platform
