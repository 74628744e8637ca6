#include "CommandLine.h"

#include <QDir>

namespace shell {

CommandLine CommandLine::parse(const QStringList &arguments, const QString &currentFolder)
{
    if (arguments.isEmpty())
        return {};
    if (arguments.size() > 1)
        return {Kind::Usage, {}};
    const QString &argument = arguments.constFirst();
    if (argument == u"-h" || argument == u"--help")
        return {Kind::Help, {}};
    // An option of no meaning here; a file of such a name is reached as ./-name.
    if (argument.startsWith(u'-') || argument.isEmpty())
        return {Kind::Usage, {}};
    return {Kind::Zip, QDir(currentFolder).absoluteFilePath(argument)};
}

const char *CommandLine::usage()
{
    return "usage: ZEKODownload [BOOK.zip]   (installs the book's ZIP file in the install window)\n";
}

} // namespace shell
