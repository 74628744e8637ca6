#include "WineProbe.h"

#include "WineTestPrefix.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <utility>

namespace {

QByteArray hexArg(const std::optional<QByteArray> &value)
{
    return value ? value->toHex() : QByteArrayLiteral("-");
}

QByteArray pathArg(const QString &winPath)
{
    return winPath.toLatin1().toHex();
}

// QByteArray::fromHex skips bad characters silently; an answer must be exact.
std::optional<QByteArray> fromHex(const QByteArray &hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    for (const char c : hex) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit)
            return std::nullopt;
    }
    return QByteArray::fromHex(hex);
}

std::optional<unsigned> toUnsigned(const QByteArray &text, int base = 10)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, base);
    if (!ok || text.isEmpty())
        return std::nullopt;
    return value;
}

} // namespace

WineProbe::WineProbe(const WineTestPrefix &prefix, QString probeExeUnixPath)
    : m_prefix(prefix)
    , m_probeExe(std::move(probeExeUnixPath))
    , m_workingDirectory(prefix.scratchPath())
{
}

int WineProbe::add(Kind kind, const QByteArray &line)
{
    m_kinds.append(kind);
    m_commands.append(line);
    // Answers of an earlier run no longer cover the whole batch.
    m_results.clear();
    return static_cast<int>(m_commands.size() - 1);
}

int WineProbe::drivetype(const QString &root)
{
    return add(Kind::DriveType, "drivetype\t" + pathArg(root));
}

int WineProbe::attrs(const QString &winPath)
{
    return add(Kind::Attrs, "attrs\t" + pathArg(winPath));
}

int WineProbe::getstr(std::optional<QByteArray> section, std::optional<QByteArray> key,
                      std::optional<QByteArray> def, int bufsize, const QString &winFile)
{
    return add(Kind::GetStr, "getstr\t" + hexArg(section) + '\t' + hexArg(key) + '\t' + hexArg(def) + '\t' +
                                 QByteArray::number(bufsize) + '\t' + pathArg(winFile));
}

int WineProbe::writestr(std::optional<QByteArray> section, std::optional<QByteArray> key,
                        std::optional<QByteArray> value, const QString &winFile)
{
    return add(Kind::WriteStr, "writestr\t" + hexArg(section) + '\t' + hexArg(key) + '\t' + hexArg(value) +
                                   '\t' + pathArg(winFile));
}

int WineProbe::sysdir(int bufsize)
{
    return add(Kind::SysDir, "sysdir\t" + QByteArray::number(bufsize));
}

int WineProbe::username(int bufsize)
{
    return add(Kind::UserName, "username\t" + QByteArray::number(bufsize));
}

int WineProbe::curdir()
{
    return add(Kind::CurDir, QByteArrayLiteral("curdir"));
}

void WineProbe::clear()
{
    m_kinds.clear();
    m_commands.clear();
    m_results.clear();
    m_error.clear();
}

bool WineProbe::run(int timeoutMs)
{
    m_results.clear();
    m_error.clear();
    QElapsedTimer clock;
    clock.start();

    if (!m_prefix.ok()) {
        m_error = QStringLiteral("the Wine prefix is not usable: %1").arg(m_prefix.errorString());
        return false;
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/zeko-probe-XXXXXX"));
    if (!dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: %1").arg(dir.errorString());
        return false;
    }
    const QString commandsPath = dir.filePath(QStringLiteral("commands.txt"));
    const QString outputPath = dir.filePath(QStringLiteral("answers.txt"));

    QFile commands(commandsPath);
    QByteArray text;
    for (const QByteArray &line : std::as_const(m_commands))
        text += line + '\n';
    if (!commands.open(QIODevice::WriteOnly) || commands.write(text) != text.size() || !commands.flush()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(commandsPath, commands.errorString());
        return false;
    }
    commands.close();

    WineRunOptions options;
    options.timeoutMs = timeoutMs;
    options.workingDirectory = m_workingDirectory;
    const WineRunResult result = m_prefix.runWineDetailed(
        {m_probeExe, WineTestPrefix::toWindowsPath(commandsPath), WineTestPrefix::toWindowsPath(outputPath)},
        options);
    m_lastRunMs = clock.elapsed();
    if (!result.finished || result.exitCode != 0) {
        m_error =
            QStringLiteral("winprobe failed (%1): %2")
                .arg(result.finished ? QStringLiteral("exit code %1").arg(result.exitCode) : result.error,
                     QString::fromLocal8Bit(result.standardError.trimmed()));
        return false;
    }

    QFile output(outputPath);
    if (!output.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("winprobe wrote no answers: %1").arg(output.errorString());
        return false;
    }
    QByteArray answers = output.readAll();
    QList<QByteArray> lines;
    if (!answers.isEmpty()) {
        if (!answers.endsWith('\n')) {
            m_error = QStringLiteral("winprobe's answers end mid-line");
            return false;
        }
        answers.chop(1);
        lines = answers.split('\n');
    }
    if (lines.size() != m_commands.size()) {
        m_error = QStringLiteral("winprobe gave %1 answers to %2 questions")
                      .arg(lines.size())
                      .arg(m_commands.size());
        return false;
    }
    m_results = std::move(lines);
    return true;
}

QByteArray WineProbe::rawResult(int index) const
{
    return index >= 0 && index < m_results.size() ? m_results.at(index) : QByteArray();
}

std::optional<QList<QByteArray>> WineProbe::fields(int index, Kind kind, qsizetype count) const
{
    if (index < 0 || index >= m_results.size() || m_kinds.at(index) != kind)
        return std::nullopt;
    QList<QByteArray> parts = m_results.at(index).split('\t');
    if (parts.size() != count || m_results.at(index) == "ERR")
        return std::nullopt;
    return parts;
}

std::optional<int> WineProbe::driveTypeResult(int index) const
{
    const auto f = fields(index, Kind::DriveType, 1);
    const auto type = f ? toUnsigned(f->at(0)) : std::nullopt;
    if (!type)
        return std::nullopt;
    return static_cast<int>(*type);
}

std::optional<quint32> WineProbe::attrsResult(int index) const
{
    const auto f = fields(index, Kind::Attrs, 1);
    if (!f || f->at(0).size() != 8)
        return std::nullopt;
    return toUnsigned(f->at(0), 16);
}

std::optional<WineProbe::GetStrResult> WineProbe::getstrResult(int index) const
{
    const auto f = fields(index, Kind::GetStr, 3);
    if (!f)
        return std::nullopt;
    const auto ret = toUnsigned(f->at(0));
    auto bytes = fromHex(f->at(1));
    auto buffer = fromHex(f->at(2));
    if (!ret || !bytes || !buffer)
        return std::nullopt;
    return GetStrResult{static_cast<int>(*ret), std::move(*bytes), std::move(*buffer)};
}

std::optional<WineProbe::WriteResult> WineProbe::writestrResult(int index) const
{
    const auto f = fields(index, Kind::WriteStr, 2);
    if (!f)
        return std::nullopt;
    const auto ok = toUnsigned(f->at(0));
    const auto error = toUnsigned(f->at(1));
    if (!ok || !error)
        return std::nullopt;
    return WriteResult{*ok != 0, *error};
}

std::optional<WineProbe::SysDirResult> WineProbe::sysdirResult(int index) const
{
    const auto f = fields(index, Kind::SysDir, 2);
    if (!f)
        return std::nullopt;
    const auto ret = toUnsigned(f->at(0));
    auto bytes = fromHex(f->at(1));
    if (!ret || !bytes)
        return std::nullopt;
    return SysDirResult{static_cast<int>(*ret), std::move(*bytes)};
}

std::optional<WineProbe::UserNameResult> WineProbe::usernameResult(int index) const
{
    const auto f = fields(index, Kind::UserName, 4);
    if (!f)
        return std::nullopt;
    const auto ok = toUnsigned(f->at(0));
    const auto size = toUnsigned(f->at(1));
    const auto error = toUnsigned(f->at(2));
    auto name = fromHex(f->at(3));
    if (!ok || !size || !error || !name)
        return std::nullopt;
    return UserNameResult{*ok != 0, *size, *error, std::move(*name)};
}

std::optional<QByteArray> WineProbe::curdirResult(int index) const
{
    const auto f = fields(index, Kind::CurDir, 1);
    return f ? fromHex(f->at(0)) : std::nullopt;
}
