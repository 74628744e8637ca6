#include "AbrirLivro.h"

#include "ListaLivros.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "messages/SystemReason.h"
#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/registry/Recordset.h"

namespace books {

namespace {

const QString kPathIni = QStringLiteral("\\zeko.ini");

} // namespace

AbrirLivro::AbrirLivro(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                       drive::MountDrive &drives, QString pastaPrograma, std::function<void()> montaCombo)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_pastaPrograma(std::move(pastaPrograma))
    , m_montaCombo(std::move(montaCombo))
{
}

void AbrirLivro::mostra(int codigo, const QStringList &params)
{
    messages::avisa(m_state, m_box, codigo, params);
}

bool AbrirLivro::abre(const QString &entrada)
{
    if (m_drives.CursoEmExecucao()) {
        mostra(messages::code::CourseRunningOpen);
        return false;
    }
    QString strLetraDrive = ListaLivros::letraDaEntrada(entrada);
    const QString strNomeLivro = ListaLivros::nomeDaEntrada(entrada);
    const QString strPastaLivro = shell::Sistema(m_platform).LeDriveDownload() +
                                  QStringLiteral("\\ZEKO_Download\\Download\\") + strNomeLivro;

    m_drives.MontaListaDrives(false);
    if (strNomeLivro.isEmpty() || !m_platform.directoryExists(strPastaLivro)) {
        m_montaCombo();
        return false;
    }
    if (m_drives.PastaDeLivro(strLetraDrive)) {
        return AbreLivro(kPathIni, strLetraDrive);
    }
    shell::Recordset &rs = *m_state.rsMapeamento;
    // The book's folder may already show on another letter (mapped by hand, or a
    // row that could not follow its letter): that letter becomes the book's.
    if (rs.findFirst(QStringLiteral("LetraDrive"), strLetraDrive)) {
        const QStringList atuais = m_drives.lettersMapping(rs.field(QStringLiteral("Caminho")).toString());
        if (!atuais.isEmpty()) {
            const QString letra = atuais.first() + u':';
            if (!rs.edit({{QStringLiteral("LetraDrive"), letra}})) {
                messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused,
                                              {rs.field(QStringLiteral("Curso")).toString()},
                                              rs.lastErrorCode());
                return false;
            }
            rs.moveFirst();
            m_montaCombo();
            return AbreLivro(kPathIni, letra);
        }
    }
    if (!ExisteLetraLivre()) {
        mostra(messages::code::NoFreeLetterToOpen, {strLetraDrive});
        return false;
    }
    // The list is built from the rows; without a row for the entry's drive the
    // data changed underneath, and no other book's row may be touched.
    if (!rs.findFirst(QStringLiteral("LetraDrive"), strLetraDrive)) {
        m_montaCombo();
        return false;
    }
    const QString strCaminho = rs.field(QStringLiteral("Caminho")).toString();
    return MontaLivro(strCaminho, strLetraDrive) && AbreLivro(kPathIni, strLetraDrive);
}

AbrirLivro::DriveSetting AbrirLivro::AtualizaDrive(const QString &strPathIni, const QString &strLetraDrive)
{
    if (strLetraDrive.isEmpty())
        return DriveSetting::Absent;
    const QString arquivo = shell::Sistema(m_platform).PastaSistema() + strPathIni;
    // A two-character buffer: only whether DriveCD holds anything matters.
    const platform::ProfileRead lido = m_platform.getProfileString(
        QStringLiteral("InstalacaoVersao5"), QStringLiteral("DriveCD"), QString(), 2, arquivo);
    if (lido.count == 0)
        return DriveSetting::Absent;
    return m_platform.writeProfileString(QStringLiteral("InstalacaoVersao5"), QStringLiteral("DriveCD"),
                                         strLetraDrive, arquivo, nullptr)
               ? DriveSetting::Written
               : DriveSetting::NotWritten;
}

bool AbrirLivro::AbreLivro(const QString &strPathIni, const QString &strLetraDrive)
{
    switch (AtualizaDrive(strPathIni, strLetraDrive)) {
    case DriveSetting::Written:
        return inicia(m_pastaPrograma + QStringLiteral("/LoadZEKOV.EXE"), {strLetraDrive}, QString());
    case DriveSetting::NotWritten:
        messages::avisaSystemReason(m_state, m_box, messages::code::DriveCDNotWritten,
                                    {strLetraDrive, shell::Sistema(m_platform).PastaSistema() + strPathIni},
                                    platform::lastSystemError());
        return false;
    case DriveSetting::Absent:
        break;
    }
    // The book's own start program, from the root of its drive.
    return inicia(strLetraDrive + QStringLiteral("\\Autorun.exe"), {}, strLetraDrive + u'\\');
}

bool AbrirLivro::inicia(const QString &programa, const QStringList &argumentos, const QString &pastaInicial)
{
    QString erro;
    platform::StartFailure falha = platform::StartFailure::None;
    if (m_platform.startProgram(programa, argumentos, pastaInicial, &erro, &falha))
        return true;
    const int codigo = mensagemDeFalha(falha);
    messages::Catalogue &catalogo = *m_state.catalogo;
    if (codigo == messages::code::StartProgramMissing || codigo == messages::code::StartProgramFailed) {
        // The system's own text would be English; its reason is told in the user's language.
        m_state.strMensagem = catalogo.mensagem(codigo, {programa});
        if (falha == platform::StartFailure::Other && platform::lastSystemError() != 0)
            m_state.strMensagem +=
                u'\n' +
                messages::reasonLine(catalogo, messages::systemReason(catalogo, platform::lastSystemError()));
    } else {
        m_state.strMensagem = catalogo.descricao(codigo);
    }
    m_box.mostraAviso(m_state.strMensagem);
    return false;
}

int AbrirLivro::mensagemDeFalha(platform::StartFailure falha)
{
    switch (falha) {
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

bool AbrirLivro::ExisteLetraLivre() const
{
    return m_state.strLetrasLivres.size() > 1;
}

bool AbrirLivro::MontaLivro(const QString &strCaminho, QString &strLetra)
{
    if (!ExisteLetraLivre())
        return false;
    const QString livre = m_state.strLetrasLivres.at(1);
    if (!m_drives.MapeiaDrive(livre, strCaminho, false)) {
        mostra(messages::code::BookFolderOrDriveFailed, {strCaminho, livre});
        return false;
    }
    shell::Recordset &rs = *m_state.rsMapeamento;
    // Stand on the book's own row: by its registered drive and its folder.
    const bool linha =
        rs.findFirst(QStringLiteral("LetraDrive"), strLetra) &&
        rs.field(QStringLiteral("Caminho")).toString().compare(strCaminho, Qt::CaseInsensitive) == 0;
    if (!linha || !rs.edit({{QStringLiteral("LetraDrive"), livre + u':'}})) {
        const int codigo = linha ? rs.lastErrorCode() : 0;
        const QString curso = linha ? rs.field(QStringLiteral("Curso")).toString() : QString();
        // The mapping is of no use without the row that names it.
        m_drives.MapeiaDrive(livre, strCaminho, true);
        if (linha)
            messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused, {curso}, codigo);
        m_montaCombo();
        return false;
    }
    rs.moveFirst();
    strLetra = livre + u':';
    m_montaCombo();
    return true;
}

} // namespace books
