#pragma once

#include "WindowsExecutable.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// Which Wine this machine has and which Windows programs it can run.
//
// Finding out starts no Wine program: it looks for the loaders on disk and asks
// the kernel, with a tiny 32-bit program of its own, whether it runs 32-bit
// programs at all (some Linux machines boot with that switched off, and then
// Debian's `wine` fails with "Exec format error"). It costs about a millisecond.
class WineHost {
  public:
    // Why 32-bit Windows programs cannot run here.
    enum class Limit32 {
        None,         // they run
        NotInstalled, // no Wine at all
        No32BitWine,  // Wine's 32-bit part (Debian's wine32) is missing
        No32BitLinux, // the kernel runs no 32-bit programs
    };

    // What the decision rests on.
    struct Facts {
        QString loader32; // the 32-bit Wine loader (an i386 ELF program), empty when none
        QString loader64; // the 64-bit Wine loader (an x86-64 ELF program), empty when none
        // Whether the kernel runs 32-bit programs; nullopt when that could not be told.
        std::optional<bool> linuxRuns32;
    };

    explicit WineHost(Facts facts);

    // This machine, looked at once per process on first use.
    static const WineHost &current();

    // Looks for the loaders the way one finds Wine by hand: `wine` on the search
    // path when it is a loader itself (Debian's is a shell script), then `wine64`
    // on the path, the programs beside those, then `wine` and `wine64` in
    // libDirs (Debian keeps both in /usr/lib/wine). Then asks the kernel.
    static Facts gatherFacts(const QStringList &searchPath, const QStringList &libDirs);
    // The same with the process's PATH and the folders distributions use.
    static Facts gatherFacts();

    // Runs a tiny 32-bit x86 program. nullopt when the test itself could not run
    // (no anonymous executable files here, say).
    static std::optional<bool> linuxRuns32BitPrograms();

    const Facts &facts() const { return m_facts; }

    bool installed() const;
    bool runs64() const { return !m_facts.loader64.isEmpty(); }
    bool runs32() const { return limit32() == Limit32::None; }
    Limit32 limit32() const;
    // In English, for people reading a terminal or a test report: "Wine is not
    // installed", "Wine's 32-bit part is not installed (wine32)", "this Linux was
    // started without 32-bit support". Empty when 32-bit programs run.
    QString reason32() const;

    // The loader that runs a program of this kind; empty when none can.
    QString loaderFor(WindowsExecutable::Kind kind) const;
    // The loader for Wine's own tools (wineboot, cmd) in a prefix of this kind.
    QString loaderForPrefix(bool win64) const;

  private:
    Facts m_facts;
};

} // namespace platform
