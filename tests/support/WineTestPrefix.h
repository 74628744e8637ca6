#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class QProcess;

// How one program is run inside a test prefix.
struct WineRunOptions {
    int timeoutMs = 60000;
    // Unix folder the program starts in; Wine gives the program the matching drive
    // path as its current folder. Empty: the caller's current folder.
    QString workingDirectory;
    // Replaces WineTestPrefix::environment() when set (start from it to add DISPLAY).
    std::optional<QProcessEnvironment> environment;
};

struct WineRunResult {
    // True when the program started and ended by itself within the timeout.
    bool finished = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
    // Why it did not finish; empty when it did.
    QString error;
};

// A throw-away Wine prefix in its own temporary folder, so tests never touch the
// user's ~/.wine, home folder or menus. The folder holds the prefix, a private
// HOME (Wine links the profile's Desktop and Documents into HOME) and a scratch
// folder for test files; all of it goes away with the object.
//
// The prefix is created by the constructor, which can take several seconds.
// Failure (Wine missing, wineboot failing or hanging) is reported through ok()
// and errorString(); every other member stays safe to call.
class WineTestPrefix {
  public:
    enum class Arch { Win64, Win32 };

    // Returned by runWine() when the program could not be started, crashed or timed out.
    static constexpr int kRunFailed = -1;

    explicit WineTestPrefix(Arch arch = Arch::Win64, int bootTimeoutMs = 180000);
    // Stops every Wine process of the prefix (wineserver -k), then removes the folder.
    ~WineTestPrefix();

    WineTestPrefix(const WineTestPrefix &) = delete;
    WineTestPrefix &operator=(const WineTestPrefix &) = delete;

    bool ok() const { return m_ok; }
    QString errorString() const { return m_error; }

    Arch arch() const { return m_arch; }
    // The prefix folder (WINEPREFIX).
    QString path() const;
    QString driveCPath() const;
    // dosdevices/, where drive letters are symlinks.
    QString dosDevicesPath() const;
    // An empty folder for the test's own files, removed with the prefix.
    QString scratchPath() const;

    // The environment every Wine program of this prefix runs with: WINEPREFIX,
    // WINEARCH, WINEDEBUG=-all, Mono/Gecko installers and menu entries disabled,
    // the private HOME, and no DISPLAY, so no window appears unless the caller adds one.
    QProcessEnvironment environment() const;

    // One prefix of the kind for the whole test program, made on first use and
    // removed when the program ends; for suites whose tests clean up after
    // themselves and need not pay for a prefix each.
    static WineTestPrefix *shared(Arch arch);

    // True when a Wine loader and wineserver are installed; which programs they
    // run here is platform::WineHost's to say.
    static bool wineAvailable();

    // The path a Wine program sees for a unix path through drive Z: ("/tmp/a" -> "Z:\tmp\a").
    static QString toWindowsPath(const QString &unixPath);

    // Runs `wine <args>` in this prefix and waits for it. Returns its exit code, or
    // kRunFailed when it did not start, crashed or outlived timeoutMs (then it is killed).
    int runWine(const QStringList &args, int timeoutMs, QByteArray *stdoutOut = nullptr) const;
    WineRunResult runWineDetailed(const QStringList &args, const WineRunOptions &options = {}) const;

    // Starts `wine <args>` in this prefix without waiting for it to end. Its stdin
    // stays an open pipe, to write to or close (a console program waiting for
    // input keeps running until then). Returns nullptr when it could not start
    // (reason in *error); options.timeoutMs bounds only the start. The
    // destructor ends the program if it is still running.
    std::unique_ptr<QProcess> startWine(const QStringList &args, const WineRunOptions &options = {},
                                        QString *error = nullptr) const;

    // Stops the prefix's wineserver and every program in it; Wine saves the
    // registry files on the way. The next Wine program starts a fresh server.
    bool killServer(int timeoutMs = 30000) const;
    // Waits until the wineserver has ended by itself (a few seconds after the last program).
    bool waitForServer(int timeoutMs = 60000) const;

  private:
    // The Wine loader for a run of args in this prefix; empty when none runs it here.
    QString loaderFor(const QStringList &args) const;
    bool boot(int timeoutMs);
    bool runWineserver(const QString &option, int timeoutMs) const;
    QString homePath() const;

    Arch m_arch;
    QTemporaryDir m_root;
    bool m_ok = false;
    QString m_error;
};
