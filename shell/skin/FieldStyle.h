#pragma once

#include <QComboBox>
#include <QString>

namespace shell::skin {

// The style of a field on a white panel: navy text, the panel's outline, the
// amber accent on hover, focus and the chosen entry. For a QComboBox or a
// QLineEdit, text of the given pixel size.
QString fieldStyle(int pixelSize);

// A drop-down list in that style, with an amber chevron that says it opens
// (the style leaves the drop-down without an arrow of its own).
class DropDownList : public QComboBox {
  public:
    explicit DropDownList(int pixelSize, QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *e) override;
};

} // namespace shell::skin
