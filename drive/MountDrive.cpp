#include "MountDrive.h"

#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/FormataMensagem.h"
#include "messages/MessageBox.h"
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

void MountDrive::relataErroMapeamento(const QString &strCaminho, const QString &letra, int numero,
                                      const QString &texto)
{
    messages::Catalogue &catalogo = *m_state.catalogo;
    m_state.strMensagem = catalogo.mensagem(messages::code::BookFolderOrDriveFailed, {strCaminho, letra}) +
                          u'\n' + QStringLiteral("(%1) ").arg(numero, 4, 10, QChar(u'0')) + texto;
    m_box.mostraAviso(m_state.strMensagem);
}

void MountDrive::mostraMensagem(int codigo, const QStringList &params)
{
    messages::avisa(m_state, m_box, codigo, params);
}

bool MountDrive::MapeiaDrive(const QString &strLetra, const QString &strCaminho, bool bRemover)
{
    messages::Catalogue &catalogo = *m_state.catalogo;
    // Raising a catalogue error: its code is the error number, its text the reason.
    auto erro = [&](const QString &letra, int codigo) {
        relataErroMapeamento(strCaminho, letra, codigo, catalogo.descricao(codigo));
        return false;
    };

    QString letra = strLetra;
    while (letra.startsWith(u' '))
        letra.remove(0, 1);
    while (letra.endsWith(u' '))
        letra.chop(1);
    if (letra.size() != 1)
        return erro(letra, messages::code::MapErrorInvalidLetter);
    if (!bRemover && !m_platform.directoryExists(strCaminho))
        return erro(letra, messages::code::MapErrorFolderMissing);

    const QChar l = letra[0];
    letra += u':';
    const int tipo = m_platform.driveType(l);

    QString motivo;
    platform::DeviceFailure falha = platform::DeviceFailure::None;
    if (!bRemover) {
        // A disk letter is never taken; neither is a CD or network letter, which a
        // mapping in a Wine prefix would replace instead of covering.
        if (tipo != 1)
            return erro(letra, messages::code::MapErrorLetterIsDisk);
        if (m_platform.defineDosDevice(letra, strCaminho, &motivo, &falha))
            return true;
        if (falha == platform::DeviceFailure::InUse)
            return erro(letra, messages::code::MapErrorLetterIsDisk);
    } else {
        // Wine calls a link into a network or CD file system type 4 or 5: the
        // link's own check below decides. A letter that is no mapping is only
        // released when it is a plain local folder.
        if (tipo != 3 && !m_platform.isMapping(l))
            return false;
        if (m_platform.removeDosDevice(letra, strCaminho, &motivo, &falha))
            return true;
        if (falha == platform::DeviceFailure::NotThisFolder)
            return erro(letra, messages::code::MapErrorOtherFolder);
    }
    // A failure that does not come from the catalogue shows as number 0000, with
    // the system's reason in the user's language.
    relataErroMapeamento(strCaminho, letra, 0, messages::systemReason(catalogo, platform::lastSystemError()));
    return false;
}

void MountDrive::MontaListaDrives(bool pblCriaDrive)
{
    shell::Recordset &rs = *m_state.rsMapeamento;
    m_state.strLetrasLivres = QStringList{QString()};
    for (char16_t code = u'Z'; code >= u'D'; --code) {
        const QString letra(QChar{code});
        const bool registrada = rs.findFirst(QStringLiteral("LetraDrive"), letra + u':');
        // A letter in use by anything (a disk, another mapping, this book mounted) is never listed.
        if (m_platform.driveType(QChar{code}) != 1)
            continue;
        if (!registrada) {
            m_state.strLetrasLivres.append(letra);
            continue;
        }
        const QString caminho = rs.field(QStringLiteral("Caminho")).toString();
        if (!m_platform.directoryExists(caminho)) {
            mostraMensagem(messages::code::RegisteredFolderMissing,
                           {caminho, rs.field(QStringLiteral("LetraDrive")).toString()});
            // The box may have let other events run; stand on the row again before deleting it.
            if (rs.findFirst(QStringLiteral("LetraDrive"), letra + u':') && !rs.deleteCurrent()) {
                // The row stays, so its letter is not free and nothing says it went.
                messages::Catalogue &catalogo = *m_state.catalogo;
                mostraMensagem(messages::code::MissingBookNotUnregistered,
                               {caminho, messages::registryReason(catalogo, rs.lastErrorCode())});
                continue;
            }
            m_state.strLetrasLivres.append(letra);
            mostraMensagem(messages::code::MissingBookUnregistered, {caminho});
        } else if (pblCriaDrive) {
            // A folder that already has a letter keeps that one: the row follows it.
            const QStringList atuais = lettersMapping(caminho);
            if (!atuais.isEmpty()) {
                if (rs.edit({{QStringLiteral("LetraDrive"), atuais.first() + u':'}}))
                    m_state.strLetrasLivres.append(letra);
                else // the row keeps its letter, so it is not free; the next opening tries again
                    messages::avisaRegistryReason(m_state, m_box, messages::code::RegistryRefused,
                                                  {rs.field(QStringLiteral("Curso")).toString()},
                                                  rs.lastErrorCode());
                continue;
            }
            // Only the platform can fail here (the folder was just seen, the letter
            // is free): the mapping report says so, and the book stays registered.
            MapeiaDrive(letra, caminho, false);
        }
    }
}

void MountDrive::DesmontaLivros()
{
    shell::Recordset &rs = *m_state.rsMapeamento;
    if (rs.isEmpty())
        return;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString caminho = rs.field(3).toString();
        for (const QString &letra : lettersMapping(caminho))
            MapeiaDrive(letra, caminho, true);
    }
}

QStringList MountDrive::lettersMapping(const QString &strCaminho) const
{
    QStringList letras;
    const QString pasta = QFileInfo(m_platform.toUnixPath(strCaminho)).canonicalFilePath();
    if (pasta.isEmpty())
        return letras;
    for (char16_t code = u'D'; code <= u'Z'; ++code) {
        const QChar l{code};
        if (m_platform.isMapping(l) &&
            QFileInfo(m_platform.toUnixPath(QString(l) + QStringLiteral(":\\"))).canonicalFilePath() == pasta)
            letras.append(QString(l));
    }
    return letras;
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
    const QString procurado = strExe.toLower();
    for (const platform::ProcessEntry &p : m_platform.processes()) {
        const qsizetype nul = p.exeFile.indexOf(QChar(u'\0'));
        if ((nul < 0 ? p.exeFile : p.exeFile.left(nul)).toLower() == procurado)
            return p.pid;
    }
    return 0;
}

} // namespace drive
