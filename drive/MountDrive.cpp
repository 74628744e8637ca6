#include "MountDrive.h"

#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/FormataMensagem.h"
#include "messages/MessageBox.h"
#include "messages/Notify.h"
#include "messages/SystemReason.h"
#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/registry/Recordset.h"

#include <QFileInfo>

namespace drive {

MountDrive::MountDrive(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
{
}

void MountDrive::mappingErrorReport(const QString &strCaminho, const QString &letter, int errorNumber,
                                    const QString &texto)
{
    messages::Catalogue &catalogue = *m_state.catalogue;
    m_state.strMensagem = catalogue.mensagem(messages::code::BookFolderOrDriveFailed, {strCaminho, letter}) +
                          u'\n' + QStringLiteral("(%1) ").arg(errorNumber, 4, 10, QChar(u'0')) + texto;
    m_box.showNotice(m_state.strMensagem);
}

void MountDrive::tell(int code, const QStringList &params)
{
    messages::notify(m_state, m_box, code, params);
}

bool MountDrive::MapeiaDrive(const QString &strLetra, const QString &strCaminho, bool bRemover)
{
    messages::Catalogue &catalogue = *m_state.catalogue;
    // Raising a catalogue error: its code is the error number, its text the reason.
    auto error = [&](const QString &letter, int code) {
        mappingErrorReport(strCaminho, letter, code, catalogue.descricao(code));
        return false;
    };

    QString letter = strLetra;
    while (letter.startsWith(u' '))
        letter.remove(0, 1);
    while (letter.endsWith(u' '))
        letter.chop(1);
    if (letter.size() != 1)
        return error(letter, messages::code::MapErrorInvalidLetter);
    if (!bRemover && !m_platform.directoryExists(strCaminho))
        return error(letter, messages::code::MapErrorFolderMissing);

    const QChar l = letter[0];
    letter += u':';
    const int type = m_platform.driveType(l);

    platform::DeviceOutcome outcome;
    if (!bRemover) {
        // A disk letter is never taken; neither is a CD or network letter, which a
        // mapping in a Wine prefix would replace instead of covering.
        if (type != 1)
            return error(letter, messages::code::MapErrorLetterIsDisk);
        outcome = m_platform.defineDosDevice(letter, strCaminho);
        if (outcome)
            return true;
        if (outcome.failure() == platform::DeviceFailure::InUse)
            return error(letter, messages::code::MapErrorLetterIsDisk);
    } else {
        // Wine calls a link into a network or CD file system type 4 or 5: the
        // link's own check below decides. A letter that is no mapping is only
        // released when it is a plain local folder.
        if (type != 3 && !m_platform.isMapping(l))
            return false;
        outcome = m_platform.removeDosDevice(letter, strCaminho);
        if (outcome)
            return true;
        if (outcome.failure() == platform::DeviceFailure::NotThisFolder)
            return error(letter, messages::code::MapErrorOtherFolder);
    }
    // A failure that does not come from the catalogue shows as number 0000, with
    // the system's reason in the user's language.
    mappingErrorReport(strCaminho, letter, 0, messages::systemReason(catalogue, outcome.systemError()));
    return false;
}

void MountDrive::MontaListaDrives(bool pblCriaDrive)
{
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    m_state.strLetrasLivres = QStringList{QString()};
    for (char16_t code = u'Z'; code >= u'D'; --code) {
        const QString letter(QChar{code});
        const bool registered = rs.findFirst(QStringLiteral("LetraDrive"), letter + u':');
        // A letter in use by anything (a disk, another mapping, this book mounted) is never listed.
        if (m_platform.driveType(QChar{code}) != 1)
            continue;
        if (!registered) {
            m_state.strLetrasLivres.append(letter);
            continue;
        }
        const QString bookPath = rs.field(QStringLiteral("Caminho")).toString();
        const QString course = rs.field(QStringLiteral("Curso")).toString();
        if (!m_platform.directoryExists(bookPath)) {
            tell(messages::code::RegisteredFolderMissing,
                 {bookPath, rs.field(QStringLiteral("LetraDrive")).toString()});
            // The box may have let other events run; stand on the row again before deleting it.
            if (rs.findFirst(QStringLiteral("LetraDrive"), letter + u':') && !rs.deleteCurrent()) {
                // The row stays, so its letter is not free and nothing says it went.
                messages::Catalogue &catalogue = *m_state.catalogue;
                tell(messages::code::MissingBookNotUnregistered,
                     {bookPath, messages::registryReason(catalogue, rs.lastErrorCode())});
                continue;
            }
            m_state.strLetrasLivres.append(letter);
            (void)m_state.menuEntries.remove(course); // a failure is said, and costs nothing else
            tell(messages::code::MissingBookUnregistered, {bookPath});
        } else if (pblCriaDrive) {
            // A folder that already has a letter keeps that one: the row follows it.
            const QStringList current = lettersMapping(bookPath);
            if (!current.isEmpty()) {
                if (rs.edit({{QStringLiteral("LetraDrive"), current.first() + u':'}})) {
                    m_state.strLetrasLivres.append(letter);
                    (void)m_state.menuEntries.write({course, current.first() + u':'});
                } else // the row keeps its letter, so it is not free; the next opening tries again
                    messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused,
                                                       {rs.field(QStringLiteral("Curso")).toString()},
                                                       rs.lastErrorCode());
                continue;
            }
            // Only the platform can fail here (the folder was just seen, the letter
            // is free): the mapping report says so, and the book stays registered.
            (void)MapeiaDrive(letter, bookPath, false);
        }
    }
}

void MountDrive::DesmontaLivros()
{
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    if (rs.isEmpty())
        return;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString bookPath = rs.field(3).toString();
        // At exit a letter that refuses has reported itself; the others are still released.
        for (const QString &letter : lettersMapping(bookPath))
            (void)MapeiaDrive(letter, bookPath, true);
    }
}

QStringList MountDrive::lettersMapping(const QString &strCaminho) const
{
    QStringList letters;
    const QString folder = QFileInfo(m_platform.toUnixPath(strCaminho)).canonicalFilePath();
    if (folder.isEmpty())
        return letters;
    for (char16_t code = u'D'; code <= u'Z'; ++code) {
        const QChar l{code};
        if (m_platform.isMapping(l) &&
            QFileInfo(m_platform.toUnixPath(QString(l) + QStringLiteral(":\\"))).canonicalFilePath() ==
                folder)
            letters.append(QString(l));
    }
    return letters;
}

bool MountDrive::PastaDeLivro(const QString &strCaminho) const
{
    return m_platform.fileExists(strCaminho + QStringLiteral("\\Autorun.exe")) &&
           m_platform.fileExists(strCaminho + QStringLiteral("\\Idioma.kvt"));
}

bool MountDrive::CursoEmExecucao() const
{
    return ProcuraProcesso(QStringLiteral("pupilapp.exe")) != 0;
}

qint64 MountDrive::ProcuraProcesso(const QString &strExe) const
{
    const QString wanted = strExe.toLower();
    for (const platform::ProcessEntry &p : m_platform.processes()) {
        const qsizetype nul = p.exeFile.indexOf(QChar(u'\0'));
        if ((nul < 0 ? p.exeFile : p.exeFile.left(nul)).toLower() == wanted)
            return p.pid;
    }
    return 0;
}

} // namespace drive
