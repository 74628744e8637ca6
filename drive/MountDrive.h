#pragma once

#include <QString>

namespace platform {
class Platform;
}
namespace messages {
class MessageBox;
}

namespace shell {
struct SharedState;
}

namespace drive {

// A book's folder as a drive letter of its own, so the course finds the book at
// the root of a drive: mapping and unmapping, the scan for free letters that
// also repairs the registry, unmapping at exit, and the course-running test.
class MountDrive {
  public:
    MountDrive(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box);

    // Maps (bRemover false) or unmaps (true) the letter, given without colon.
    // True when the mapping was made or removed. A failure is shown to the user
    // (the mapping error report) and gives false; unmapping a letter that is not
    // mounted gives false without a word.
    [[nodiscard]] bool MapeiaDrive(const QString &strLetra, const QString &strCaminho, bool bRemover);

    // Rebuilds strLetrasLivres with the free letters from Z down to D. A letter
    // registered to a book whose folder is gone is freed and its row deleted; with
    // pblCriaDrive a registered book whose letter is free is mapped again, and its
    // row deleted when that fails.
    void MontaListaDrives(bool pblCriaDrive);

    // Unmaps every book of the user that is mounted right now, on its own letter
    // or on any other.
    void DesmontaLivros();

    // The letters (no colon) whose mapping leads to that folder itself, so a
    // folder that has a letter is never given a second one.
    QStringList lettersMapping(const QString &strCaminho) const;

    // True when the folder or drive ("X:") holds Autorun.exe and Idioma.kvt.
    [[nodiscard]] bool PastaDeLivro(const QString &strCaminho) const;

    // True while the course player runs.
    [[nodiscard]] bool CursoEmExecucao() const;

    // Process id of the first running program with that file name, 0 when none.
    qint64 ProcuraProcesso(const QString &strExe) const;

  private:
    void mappingErrorReport(const QString &strCaminho, const QString &letter, int errorNumber,
                            const QString &texto);
    void tell(int code, const QStringList &params);

    platform::Platform &m_platform;
    shell::SharedState &m_state;
    messages::MessageBox &m_box;
};

} // namespace drive
