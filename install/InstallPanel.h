#pragma once

#include <QString>

#include <cstdint>

namespace install {

// What the install window shows while a book is installed.
class InstallPanel {
  public:
    virtual ~InstallPanel() = default;
    // The progress line, FXLblMensagem.
    virtual void showProgress(const QString &text) = 0;
    // tmrMsg: the growing row of dots after the progress text.
    virtual void animateProgress(bool on) = 0;
    // Buttons 1, 2, 3 and 6, which must not be used during an extraction.
    virtual void enableButtons(bool enabled) = 0;
    // How far the extraction is, at least once a second while it runs: the whole
    // percentage of the declared bytes written, and the bytes themselves. The
    // progress line already shows the percentage; a panel may show more.
    virtual void showAdvance(int percent, std::uint64_t written, std::uint64_t total)
    {
        (void)percent, (void)written, (void)total;
    }
};

} // namespace install
