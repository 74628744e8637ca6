#pragma once

#include <QLocale>
#include <QString>

namespace shell {

// Qt's own texts (the file dialog, a line edit's context menu, standard
// buttons, the help window's menus) in the user's language, from the
// translations Qt ships (Debian's qt6-translations-l10n).
class QtTranslation {
  public:
    // The locale of a catalogue language. POR is Brazilian Portuguese: that is
    // what the catalogue writes ("arquivo", "Selecionar", "tela"), and the only
    // Portuguese that Qt's own texts come in.
    static QLocale localeOf(const QString &language);

    // Loads Qt's translation of `language` from `folder` (Qt's translations folder
    // when empty) into the application and makes its locale the default, so
    // dates and sizes in the file dialog follow it too. False, with the file
    // that could not be read named in `error`; Qt's texts then stay English.
    static bool install(const QString &language, QString *error, const QString &folder = {});
};

} // namespace shell
