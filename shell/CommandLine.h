#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// What the manager was started with, once Qt has taken its own options: nothing,
// or the one ZIP file to install (a file manager's "Open with").
struct CommandLine {
    enum class Kind {
        None,  // start as always
        Zip,   // zip holds the file's absolute path
        Help,  // -h or --help: the usage on standard output
        Usage, // anything else: the usage on standard error, exit status 2
    };
    Kind kind = Kind::None;
    QString zip;

    // arguments without the program's name; a relative path is taken from currentFolder.
    static CommandLine parse(const QStringList &arguments, const QString &currentFolder);
    static const char *usage();
};

} // namespace shell
