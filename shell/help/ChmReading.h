#pragma once

#include "ChmContents.h"

#include <QString>

namespace shell::help {

struct ChmReadResult {
    enum class Refusal {
        None,
        NotAChm, // not a compiled help file, or it ends before its own directory
        Damaged, // its directory or compression settings contradict themselves or the file
    };
    Refusal refusal = Refusal::None;
    QString reason; // what was wrong, for the record
    ChmContents contents;

    bool ok() const { return refusal == Refusal::None; }
};

// Reads every file under "/" of a compiled help file with chmlib, in this
// process. chmlib trusts the file's headers: zero or oversized block and window
// sizes, directory pages that point at themselves or past the file, and
// compressed blocks longer than its buffer make it divide by zero, write through
// a null or short buffer, allocate gigabytes or list entries without end. So the
// headers, every directory page chmlib can reach and the compression settings
// are checked first, and a file that would lead it there is refused. The
// compressed data itself is not checked; run this where a crash on it ends
// nothing else (zeko-help-reader does, for the manager).
[[nodiscard]] ChmReadResult readChm(const QString &path);

} // namespace shell::help
