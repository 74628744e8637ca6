#pragma once

#include <QString>

#include <cstdint>

namespace install {

// What the install window shows while a book is installed.
class PainelInstalacao {
  public:
    virtual ~PainelInstalacao() = default;
    // The progress line, FXLblMensagem.
    virtual void mostraProgresso(const QString &texto) = 0;
    // tmrMsg: the growing row of dots after the progress text.
    virtual void animaProgresso(bool ligado) = 0;
    // Buttons 1, 2, 3 and 6, which must not be used during an extraction.
    virtual void habilitaBotoes(bool habilitados) = 0;
    // How far the extraction is, at least once a second while it runs: the whole
    // percentage of the declared bytes written, and the bytes themselves. The
    // progress line already shows the percentage; a panel may show more.
    virtual void mostraAndamento(int percentual, std::uint64_t escritos, std::uint64_t total)
    {
        (void)percentual, (void)escritos, (void)total;
    }
};

} // namespace install
