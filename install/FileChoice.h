#pragma once

#include <QString>

#include <optional>

namespace install {

// Chooses a book's ZIP file; the window's file dialog, or a test's script.
class FileChoice {
  public:
    virtual ~FileChoice() = default;
    // The chosen file's unix path; nothing when the choice was cancelled.
    virtual std::optional<QString> chooseZip() = 0;
};

} // namespace install
