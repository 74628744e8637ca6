#include "Sistema.h"

#include "platform/Platform.h"

namespace shell {

Sistema::Sistema(platform::Platform &platform)
    : m_platform(platform)
{
}

QString Sistema::PastaSistema() const
{
    return m_platform.systemDirectory().left(kBufferIni - 1);
}

QString Sistema::ArquivoIni() const
{
    return PastaSistema() + QStringLiteral("\\zeko.ini");
}

QString Sistema::leIni(const QString &section, const QString &key) const
{
    const platform::ProfileRead r =
        m_platform.getProfileString(section, key, QString(), kBufferIni, ArquivoIni());
    return r.value.left(r.count);
}

QString Sistema::LeIdiomaInst() const
{
    return leIni(QStringLiteral("InstalacaoVersao5"), QStringLiteral("IdiomaInst"));
}

QString Sistema::LeDriveDownload() const
{
    return leIni(QStringLiteral("ZEKODownload"), QStringLiteral("Drive"));
}

bool Sistema::GaranteDriveDownload(QString *error)
{
    const QString arquivo = ArquivoIni();
    if (!m_platform.fileExists(arquivo) || !LeDriveDownload().isEmpty())
        return true;
    return m_platform.writeProfileString(QStringLiteral("ZEKODownload"), QStringLiteral("Drive"),
                                         arquivo.left(2), arquivo, error);
}

QString Sistema::LeUsuario() const
{
    const std::optional<QString> nome = m_platform.userName(kBufferUsuario);
    if (!nome)
        return QStringLiteral(" ");
    const qsizetype nul = nome->indexOf(QChar(u'\0'));
    return nul < 0 ? *nome : nome->left(nul);
}

QString Sistema::TiraExtensao(const QString &nome)
{
    const qsizetype dot = nome.lastIndexOf(u'.');
    return dot < 0 ? nome : nome.left(dot);
}

QString Sistema::TiraColchetes(const QString &texto)
{
    QString out = texto;
    out.remove(u'[');
    out.remove(u']');
    return out;
}

} // namespace shell
