#pragma once

#include "install/FileChoice.h"
#include "install/InstallPanel.h"

#include <QString>

#include <optional>

// The file dialog of the install flow, replaced: it gives the archive a test
// names, or none, and counts how often it was asked.
class ScriptedChoice : public install::FileChoice {
  public:
    ScriptedChoice() = default;
    explicit ScriptedChoice(QString zip)
        : next(std::move(zip))
    {
    }
    std::optional<QString> chooseZip() override
    {
        ++asked;
        return next;
    }
    std::optional<QString> next;
    int asked = 0;
};

// An install panel that shows nothing.
class SilentPanel : public install::InstallPanel {
  public:
    void showProgress(const QString &) override {}
    void animateProgress(bool) override {}
    void enableButtons(bool) override {}
};
