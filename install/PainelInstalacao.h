#pragma once

#include <QString>

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
};

} // namespace install
