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

QString Sistema::iniFile() const
{
    return PastaSistema() + QStringLiteral("\\zeko.ini");
}

QString Sistema::leIni(const QString &section, const QString &key) const
{
    const platform::ProfileRead r =
        m_platform.getProfileString(section, key, QString(), kBufferIni, iniFile());
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

platform::Status Sistema::GaranteDriveDownload()
{
    const QString file = iniFile();
    if (!m_platform.fileExists(file) || !LeDriveDownload().isEmpty())
        return {};
    return m_platform.writeProfileString(QStringLiteral("ZEKODownload"), QStringLiteral("Drive"),
                                         file.left(2), file);
}

QString Sistema::LeUsuario() const
{
    const std::optional<QString> name = m_platform.userName(kUserBuffer);
    if (!name)
        return QStringLiteral(" ");
    const qsizetype nul = name->indexOf(QChar(u'\0'));
    return nul < 0 ? *name : name->left(nul);
}

QString Sistema::TiraExtensao(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString Sistema::TiraColchetes(const QString &texto)
{
    QString out = texto;
    out.remove(u'[');
    out.remove(u']');
    return out;
}

} // namespace shell
