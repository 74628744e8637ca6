#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class WineTestPrefix;

// Asks Wine's own Win32 functions, through the winprobe program, the questions our
// Linux code answers itself, so tests can compare the two.
//
// Questions are collected into a batch; each adder returns the question's index.
// run() then asks the whole batch in a single wine start (a start costs from a
// few tenths of a second to a second) and the typed accessors read the answers by
// index. An accessor returns nullopt when the batch has not run successfully, the
// index is out of range or belongs to another kind of question, or the probe
// could not ask it.
//
// The prefix must outlive the probe. Byte strings reach the ANSI functions unchanged. Windows paths given as
// QString are passed as Latin-1, which Wine's default ANSI code page (1252) reads the same for letters; use
// byte strings where exact bytes matter.
class WineProbe {
  public:
    struct GetStrResult {
        int ret = 0;
        // The buffer up to its first NUL (or all of it when there is none).
        QByteArray bytes;
        // The whole buffer, pre-filled with 0xAA, so lists and truncation show.
        QByteArray buffer;
    };
    struct WriteResult {
        bool ok = false;
        unsigned error = 0;
    };
    struct SysDirResult {
        int ret = 0;
        // The buffer up to its first NUL; 0xAA bytes where the function wrote nothing.
        QByteArray bytes;
    };
    struct UserNameResult {
        bool ok = false;
        // The in/out size after the call.
        unsigned size = 0;
        unsigned error = 0;
        QByteArray name;
    };

    WineProbe(const WineTestPrefix &prefix, QString probeExeUnixPath);

    // GetDriveTypeA(root), root such as "X:\".
    int drivetype(const QString &root);
    // GetFileAttributesA(winPath).
    int attrs(const QString &winPath);
    // GetPrivateProfileStringA(section, key, def, buffer, bufsize, winFile); nullopt is NULL.
    int getstr(std::optional<QByteArray> section, std::optional<QByteArray> key,
               std::optional<QByteArray> def, int bufsize, const QString &winFile);
    // WritePrivateProfileStringA(section, key, value, winFile); nullopt is NULL.
    int writestr(std::optional<QByteArray> section, std::optional<QByteArray> key,
                 std::optional<QByteArray> value, const QString &winFile);
    // GetSystemDirectoryA(buffer, bufsize).
    int sysdir(int bufsize);
    // GetUserNameA(buffer, &size) with size = bufsize.
    int username(int bufsize);
    // GetCurrentDirectoryA.
    int curdir();

    // Unix folder the probe starts in, which decides curdir's answer; by default
    // the prefix's scratch folder.
    void setWorkingDirectory(const QString &unixDir) { m_workingDirectory = unixDir; }

    // Asks the whole batch in one wine run. False, with errorString(), when the
    // probe could not run or its answers do not match the batch.
    bool run(int timeoutMs = 120000);
    // Forgets the batch and its answers.
    void clear();

    int size() const { return static_cast<int>(m_commands.size()); }
    QString errorString() const { return m_error; }
    // How long the last run() took, in milliseconds.
    qint64 lastRunMs() const { return m_lastRunMs; }
    // The probe's raw answer line, for failure messages.
    QByteArray rawResult(int index) const;

    std::optional<int> driveTypeResult(int index) const;
    std::optional<quint32> attrsResult(int index) const;
    std::optional<GetStrResult> getstrResult(int index) const;
    std::optional<WriteResult> writestrResult(int index) const;
    std::optional<SysDirResult> sysdirResult(int index) const;
    std::optional<UserNameResult> usernameResult(int index) const;
    std::optional<QByteArray> curdirResult(int index) const;

  private:
    enum class Kind { DriveType, Attrs, GetStr, WriteStr, SysDir, UserName, CurDir };

    int add(Kind kind, const QByteArray &line);
    // The answer's tab-separated fields, or nullopt (see the class comment).
    std::optional<QList<QByteArray>> fields(int index, Kind kind, qsizetype count) const;

    const WineTestPrefix &m_prefix;
    QString m_probeExe;
    QString m_workingDirectory;
    QList<Kind> m_kinds;
    QList<QByteArray> m_commands;
    QList<QByteArray> m_results;
    QString m_error;
    qint64 m_lastRunMs = 0;
};
