#include "BookName.h"

#include "shell/ScratchFolder.h"
#include "shell/Sistema.h"

#include <QFile>

namespace install {

namespace {

bool isDeviceName(const QString &name)
{
    // Windows takes "CON.txt" or "nul .zip" for the device too: only what comes
    // before the first dot counts, blanks trimmed.
    const QString base = name.left(name.indexOf(u'.')).trimmed().toUpper();
    if (base == u"CON" || base == u"PRN" || base == u"AUX" || base == u"NUL" || base == u"CONIN$" ||
        base == u"CONOUT$")
        return true;
    return base.size() == 4 && (base.startsWith(u"COM") || base.startsWith(u"LPT")) && base[3] >= u'1' &&
           base[3] <= u'9';
}

} // namespace

BookNameCheck BookName::fromFileName(const QString &fileName)
{
    BookNameCheck c;
    c.name = shell::Sistema::TiraExtensao(fileName).trimmed();
    c.problem = check(c.name);
    return c;
}

BookNameProblem BookName::check(const QString &name)
{
    bool onlyDots = true;
    for (const QChar ch : name) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x7f || QStringView(u"\\/:*?\"<>|").contains(ch))
            return BookNameProblem::Characters;
        if (u != u'.' && !ch.isSpace())
            onlyDots = false;
    }
    if (onlyDots)
        return BookNameProblem::Empty;
    if (name != name.trimmed())
        return BookNameProblem::Characters;
    // Windows drops a final dot from a folder name: the folder would not be the book's name.
    if (name.endsWith(u'.'))
        return BookNameProblem::Characters;
    if (isDeviceName(name) || shell::ScratchFolder::isScratchName(name))
        return BookNameProblem::Reserved;
    if (QFile::encodeName(name).size() > kMaxBytes)
        return BookNameProblem::TooLong;
    return BookNameProblem::None;
}

} // namespace install
