#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>

namespace shell {

// Where the book registry lives. An install folder that holds its own registry
// and that this user may write (SQLite writes its journal beside the file) keeps
// it: the build folder and installs made by hand. Any other install folder (a
// package's, read-only, or holding only the template) leaves each user a registry
// of their own in the XDG data folder, made from the template beside the program
// at the first start.
class DataPlaces {
  public:
    // $XDG_DATA_HOME, or ~/.local/share when that is unset or not an absolute path.
    static QString dataHome();
    // The program's own folder in dataHome().
    static QString userFolder();

    struct RegistryPlace {
        QString file;
        QString templateFile; // what `file` is made from; empty for the install folder's own registry
    };
    // The registry the program in installFolder uses.
    static RegistryPlace registryPlace(const QString &installFolder);

    enum class Failure {
        None,
        NoTemplate,  // the template is missing or cannot be read
        BadTemplate, // the template holds no Mapeamento with its four fields
        System,      // a folder or the copy could not be made: systemError() says why
    };
    using Made = platform::Outcome<Failure>;

    // Makes `registry` as a copy of `templateFile` unless it exists. The copy is
    // written to a temporary file beside it and then given its name only if that
    // is still free, so a start at the same moment keeps the one that came first
    // and no start ever sees half a registry. A failure leaves nothing behind, not
    // even the folders it made.
    [[nodiscard]] static Made ensureRegistry(const QString &registry, const QString &templateFile);

    // Makes the folder and any missing parent with mode 0700, as the XDG base
    // directories ask. False, with errno in *error. Folders it made are appended
    // to *made, when given, deepest last.
    [[nodiscard]] static bool makeFolder(const QString &path, int *error, QStringList *made = nullptr);
};

} // namespace shell
