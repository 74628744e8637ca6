#include "OpeningFlow.h"

#include "BookEntries.h"
#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "messages/Notify.h"
#include "messages/SystemReason.h"
#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

namespace books {

namespace {

const QString kPathIni = QStringLiteral("\\zeko.ini");

} // namespace

OpeningFlow::OpeningFlow(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                         drive::MountDrive &drives, QString programFolder, std::function<void()> refillCombo)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_programFolder(std::move(programFolder))
    , m_refillCombo(std::move(refillCombo))
{
}

void OpeningFlow::tell(int code, const QStringList &params)
{
    messages::notify(m_state, m_box, code, params);
}

bool OpeningFlow::open(const QString &entry)
{
    if (m_drives.CursoEmExecucao()) {
        tell(messages::code::CourseRunningOpen);
        return false;
    }
    QString strLetraDrive = BookEntries::letterOfEntry(entry);
    const QString strNomeLivro = BookEntries::nameOfEntry(entry);
    const QString strPastaLivro = shell::Sistema(m_platform).LeDriveDownload() +
                                  QStringLiteral("\\ZEKO_Download\\Download\\") + strNomeLivro;

    m_drives.MontaListaDrives(false);
    if (strNomeLivro.isEmpty() || !m_platform.directoryExists(strPastaLivro)) {
        m_refillCombo();
        return false;
    }
    if (m_drives.PastaDeLivro(strLetraDrive)) {
        return AbreLivro(kPathIni, strLetraDrive);
    }
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    // The book's folder may already show on another letter (mapped by hand, or a
    // row that could not follow its letter): that letter becomes the book's.
    if (rs.findFirst(QStringLiteral("LetraDrive"), strLetraDrive)) {
        const QStringList current = m_drives.lettersMapping(rs.field(QStringLiteral("Caminho")).toString());
        if (!current.isEmpty()) {
            const QString letter = current.first() + u':';
            if (!rs.edit({{QStringLiteral("LetraDrive"), letter}})) {
                messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused,
                                                   {rs.field(QStringLiteral("Curso")).toString()},
                                                   rs.lastErrorCode());
                return false;
            }
            // The menu entry names the drive too; a failure is said, and costs nothing else.
            (void)m_state.menuEntries.write({rs.field(QStringLiteral("Curso")).toString(), letter});
            rs.moveFirst();
            m_refillCombo();
            return AbreLivro(kPathIni, letter);
        }
    }
    if (!ExisteLetraLivre()) {
        tell(messages::code::NoFreeLetterToOpen, {strLetraDrive});
        return false;
    }
    // The list is built from the rows; without a row for the entry's drive the
    // data changed underneath, and no other book's row may be touched.
    if (!rs.findFirst(QStringLiteral("LetraDrive"), strLetraDrive)) {
        m_refillCombo();
        return false;
    }
    const QString strCaminho = rs.field(QStringLiteral("Caminho")).toString();
    return MontaLivro(strCaminho, strLetraDrive) && AbreLivro(kPathIni, strLetraDrive);
}

OpeningFlow::DriveUpdate OpeningFlow::AtualizaDrive(const QString &strPathIni, const QString &strLetraDrive)
{
    if (strLetraDrive.isEmpty())
        return {DriveSetting::Absent};
    const QString file = shell::Sistema(m_platform).PastaSistema() + strPathIni;
    // A two-character buffer: only whether DriveCD holds anything matters.
    const platform::ProfileRead setting = m_platform.getProfileString(
        QStringLiteral("InstalacaoVersao5"), QStringLiteral("DriveCD"), QString(), 2, file);
    if (setting.count == 0)
        return {DriveSetting::Absent};
    const platform::Status written = m_platform.writeProfileString(
        QStringLiteral("InstalacaoVersao5"), QStringLiteral("DriveCD"), strLetraDrive, file);
    if (!written)
        return {DriveSetting::NotWritten, written.systemError()};
    return {DriveSetting::Written};
}

bool OpeningFlow::AbreLivro(const QString &strPathIni, const QString &strLetraDrive)
{
    const DriveUpdate update = AtualizaDrive(strPathIni, strLetraDrive);
    switch (update.setting) {
    case DriveSetting::Written:
        return start(m_programFolder + QStringLiteral("/LoadZEKOV.EXE"), {strLetraDrive}, QString());
    case DriveSetting::NotWritten:
        messages::notifyWithSystemReason(
            m_state, m_box, messages::code::DriveCDNotWritten,
            {strLetraDrive, shell::Sistema(m_platform).PastaSistema() + strPathIni}, update.systemError);
        return false;
    case DriveSetting::Absent:
        break;
    }
    // The book's own start program, from the root of its drive.
    return start(strLetraDrive + QStringLiteral("\\Autorun.exe"), {}, strLetraDrive + u'\\');
}

bool OpeningFlow::start(const QString &program, const QStringList &arguments, const QString &startFolder)
{
    const platform::StartOutcome started = m_platform.startProgram(program, arguments, startFolder);
    if (started)
        return true;
    const int code = failureMessage(started.failure());
    messages::Catalogue &catalogue = *m_state.catalogue;
    if (code == messages::code::StartProgramMissing || code == messages::code::StartProgramFailed) {
        // The system's own text would be English; its reason is told in the user's language.
        m_state.strMensagem = catalogue.mensagem(code, {program});
        if (started.failure() == platform::StartFailure::Other && started.systemError() != 0)
            m_state.strMensagem +=
                u'\n' +
                messages::reasonLine(catalogue, messages::systemReason(catalogue, started.systemError()));
    } else {
        m_state.strMensagem = catalogue.descricao(code);
    }
    m_box.showNotice(m_state.strMensagem);
    return false;
}

int OpeningFlow::failureMessage(platform::StartFailure failure)
{
    switch (failure) {
    case platform::StartFailure::WineMissing:
        return messages::code::WineMissing;
    case platform::StartFailure::No32BitWine:
        return messages::code::Wine32Missing;
    case platform::StartFailure::No32BitLinux:
        return messages::code::Linux32Missing;
    case platform::StartFailure::NotFound:
        return messages::code::StartProgramMissing;
    default:
        return messages::code::StartProgramFailed;
    }
}

bool OpeningFlow::ExisteLetraLivre() const
{
    return m_state.strLetrasLivres.size() > 1;
}

bool OpeningFlow::MontaLivro(const QString &strCaminho, QString &strLetra)
{
    if (!ExisteLetraLivre())
        return false;
    const QString freeLetter = m_state.strLetrasLivres.at(1);
    if (!m_drives.MapeiaDrive(freeLetter, strCaminho, false)) {
        tell(messages::code::BookFolderOrDriveFailed, {strCaminho, freeLetter});
        return false;
    }
    shell::registry::Recordset &rs = *m_state.rsMapeamento;
    // Stand on the book's own row: by its registered drive and its folder.
    const bool row =
        rs.findFirst(QStringLiteral("LetraDrive"), strLetra) &&
        rs.field(QStringLiteral("Caminho")).toString().compare(strCaminho, Qt::CaseInsensitive) == 0;
    if (!row || !rs.edit({{QStringLiteral("LetraDrive"), freeLetter + u':'}})) {
        const int code = row ? rs.lastErrorCode() : 0;
        const QString course = row ? rs.field(QStringLiteral("Curso")).toString() : QString();
        // The mapping is of no use without the row that names it; a failed
        // release reports itself, and the letter is released again at exit.
        (void)m_drives.MapeiaDrive(freeLetter, strCaminho, true);
        if (row)
            messages::notifyWithRegistryReason(m_state, m_box, messages::code::RegistryRefused, {course},
                                               code);
        m_refillCombo();
        return false;
    }
    (void)m_state.menuEntries.write({rs.field(QStringLiteral("Curso")).toString(), freeLetter + u':'});
    rs.moveFirst();
    strLetra = freeLetter + u':';
    m_refillCombo();
    return true;
}

} // namespace books
