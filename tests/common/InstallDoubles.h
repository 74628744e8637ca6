#pragma once

#include "install/EscolhaArquivo.h"
#include "install/PainelInstalacao.h"

#include <QString>

#include <optional>

// The file dialog of the install flow, replaced: it gives the archive a test
// names, or none, and counts how often it was asked.
class ScriptedChoice : public install::EscolhaArquivo {
  public:
    ScriptedChoice() = default;
    explicit ScriptedChoice(QString zip)
        : next(std::move(zip))
    {
    }
    std::optional<QString> escolheZip() override
    {
        ++asked;
        return next;
    }
    std::optional<QString> next;
    int asked = 0;
};

// An install panel that shows nothing.
class SilentPanel : public install::PainelInstalacao {
  public:
    void mostraProgresso(const QString &) override {}
    void animaProgresso(bool) override {}
    void habilitaBotoes(bool) override {}
};
