// One book installed through the install flow, measured:
//
//   InstallBenchmark <book.zip> <empty work folder> [--threads N]
//
// The work folder receives a Wine prefix laid out on disk, an install folder with
// fresh databases, and a copy of the archive (a successful install deletes what
// it installed). Prints key=value lines: the install's wall time, the longest
// stretch in which the calling thread's events did not run (what a user sees as
// a frozen window), the peak resident memory, where the book went, and what the
// message box said. Exits non-zero unless the box said the book was installed.
//
//   InstallBenchmark --remove <work folder of an install>
//
// Starts again on that work folder, as the manager does on a later day, and
// removes its one book through the book list's removal, answering Yes. Prints the
// removal's wall time and longest event-loop gap the same way; exits non-zero
// unless the box ended with the message that everything was deleted.

#include "books/BookEntries.h"
#include "books/RemovalFlow.h"
#include "common/InstallDoubles.h"
#include "common/NamedUserPlatform.h"
#include "common/ScriptedMessageBox.h"
#include "drive/MountDrive.h"
#include "install/InstallFlow.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "platform/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace code = messages::code;

namespace {

// The manager as its start-up leaves it, on a work folder's prefix and install folder.
struct Manager {
    explicit Manager(const QString &work)
        : wine(platform::WinePrefix(work + "/prefix"), "maria")
        , instance("ZEKODownload", work + "/lock")
        , installFolder(work + "/app")
        , box(state)
    {
    }
    // Why the start-up failed; empty when it went well.
    QString start()
    {
        const shell::StartupResult started = shell::Startup(wine, instance, installFolder).run(state);
        if (started.status != shell::StartupResult::Status::Ok)
            return "start-up failed: " + started.message;
        return {};
    }

    NamedUserPlatform wine;
    platform::SingleInstance instance;
    QString installFolder;
    shell::SharedState state;
    ScriptedMessageBox box;
};

long peakRssKb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kilobytes on Linux
}

long megabytes(long kb)
{
    return (kb + 512) / 1024;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "InstallBenchmark: %s\n", qPrintable(why));
    return 2;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A 64-bit prefix as Wine lays it out, with the course's zeko.ini and download folder.
bool layOutPrefix(const QString &root)
{
    if (!writeFile(root + "/system.reg", "WINE REGISTRY Version 2\n\n#arch=win64\n") ||
        !platform::WinePrefix(root).ensureSkeleton())
        return false;
    return writeFile(root + "/drive_c/windows/syswow64/zeko.ini",
                     "[InstalacaoVersao5]\r\nIdiomaInst=POR\r\nDriveCD=D:\r\n") &&
           QDir().mkpath(root + "/drive_c/ZEKO_Download/Download");
}

bool layOutInstallFolder(const QString &app)
{
    if (!QDir().mkpath(app) || !QFile::copy(ZEKO_CATALOGUE_DB, app + "/BancoMsgVD.db") ||
        !QFile::copy(ZEKO_REGISTRY_TEMPLATE, app + "/ZEKOVD.db"))
        return false;
    QFile::setPermissions(app + "/BancoMsgVD.db", QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(app + "/ZEKOVD.db", QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

// The largest gap between ticks of a 5 ms timer on this thread. Ticks only come
// while the event loop runs, so the gap is the longest time it did not.
class EventGap : public QObject {
  public:
    void start()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            note();
            ++m_ticks;
        });
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Ends the measure; the time since the last tick counts too.
    qint64 stop()
    {
        note();
        m_timer.stop();
        return m_last;
    }
    qint64 largestNs() const { return m_largest; }
    // When the largest gap began, from the start.
    qint64 largestAtNs() const { return m_largestAt; }
    int ticks() const { return m_ticks; }

  private:
    void note()
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_last > m_largest) {
            m_largest = now - m_last;
            m_largestAt = m_last;
        }
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_largest = 0;
    qint64 m_largestAt = 0;
    int m_ticks = 0;
};

QString oneLine(QString text)
{
    return text.replace(u'\r', QString()).replace(u'\n', QStringLiteral("\\n"));
}

long long roundedMs(qint64 ns)
{
    return (ns + 500'000) / 1'000'000;
}

struct Tree {
    int files = 0;
    qint64 bytes = 0;
};

Tree tree(const QString &folder)
{
    Tree t;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        it.next();
        ++t.files;
        t.bytes += it.fileInfo().size();
    }
    return t;
}

int removeBook(const QString &work)
{
    const QString prefix = work + "/prefix";
    const QString installFolder = work + "/app";
    if (!QFileInfo(installFolder + "/ZEKOVD.db").isFile() || !QFileInfo(prefix + "/dosdevices").isDir())
        return fail(work + " is not the work folder of an install");

    Manager manager(work);
    if (const QString failure = manager.start(); !failure.isEmpty())
        return fail(failure);
    NamedUserPlatform &wine = manager.wine;
    shell::SharedState &state = manager.state;
    ScriptedMessageBox &box = manager.box;
    drive::MountDrive drives(wine, state, box);

    // Entry 0 is the list's heading; the install left exactly one book.
    const QStringList entries = books::BookEntries::entries(state);
    if (entries.size() != 2)
        return fail(QStringLiteral("%1 books in the list, expected 1").arg(entries.size() - 1));
    const QString entry = entries.at(1);
    const QString letter = books::BookEntries::letterOfEntry(entry).left(1);
    if (!state.rsMapeamento->findFirst("LetraDrive", letter + u':'))
        return fail("no registry row for " + entry);
    const QString caminho = state.rsMapeamento->field("Caminho").toString();
    const QString folder = wine.toUnixPath(caminho);
    const Tree before = tree(folder);
    const QString expected = state.catalogue->mensagem(code::RemovedAndDeleted, {letter, caminho});

    books::RemovalFlow removal(
        wine, state, box, drives, [&state] { books::BookEntries::entries(state); }, [](bool) {});
    box.answer({1});
    EventGap gap;
    gap.start();
    (void)removal.remove(entry);
    const qint64 removeNs = gap.stop();

    std::printf("entry=%s\n", qPrintable(entry));
    std::printf("book_folder=%s\n", qPrintable(folder));
    std::printf("remove_ms=%lld\n", roundedMs(removeNs));
    std::printf("remove_max_event_gap_ms=%lld\n", roundedMs(gap.largestNs()));
    std::printf("remove_max_event_gap_at_ms=%lld\n", roundedMs(gap.largestAtNs()));
    std::printf("remove_event_ticks=%d\n", gap.ticks());
    std::printf("book_files=%d\n", before.files);
    std::printf("book_mb=%lld\n", (before.bytes + (1 << 19)) >> 20);
    for (const QString &text : box.texts())
        std::printf("message=%s\n", qPrintable(oneLine(text)));
    const bool gone = !QFileInfo::exists(folder);
    std::printf("folder_gone=%s\n", gone ? "yes" : "no");
    const bool removed = gone && !box.texts().isEmpty() && box.texts().last() == expected;
    std::printf("removed=%s\n", removed ? "yes" : "no");
    return removed ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--remove")
        return removeBook(QFileInfo(args[2]).absoluteFilePath());
    int threads = 0;
    if (args.size() == 5 && args[3] == "--threads")
        threads = args[4].toInt();
    if ((args.size() != 3 && args.size() != 5) || (args.size() == 5 && threads < 1)) {
        std::fprintf(stderr, "usage: InstallBenchmark <book.zip> <empty work folder> [--threads N]\n"
                             "       InstallBenchmark --remove <work folder of an install>\n");
        return 2;
    }
    const QFileInfo book(args[1]);
    const QString work = QFileInfo(args[2]).absoluteFilePath();
    if (!book.isFile())
        return fail("no archive at " + args[1]);
    // Mappings and rows from an earlier run would change what is measured.
    if (!QDir().mkpath(work) || !QDir(work).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        return fail(work + " must be an empty folder");

    const QString prefix = work + "/prefix";
    const QString installFolder = work + "/app";
    const QString zip = work + "/zips/" + book.fileName();
    if (!layOutPrefix(prefix))
        return fail("cannot lay out the prefix in " + prefix);
    if (!layOutInstallFolder(installFolder))
        return fail("cannot lay out the install folder in " + installFolder);
    if (!QDir().mkpath(work + "/zips") || !QFile::copy(book.absoluteFilePath(), zip))
        return fail("cannot copy the archive to " + zip);
    // The copy's dirty pages are written out now, not during the install.
    ::sync();

    Manager manager(work);
    if (const QString failure = manager.start(); !failure.isEmpty())
        return fail(failure);
    NamedUserPlatform &wine = manager.wine;
    shell::SharedState &state = manager.state;
    ScriptedMessageBox &box = manager.box;

    drive::MountDrive drives(wine, state, box);
    ScriptedChoice choice(zip);
    SilentPanel panel;
    install::InstallFlow flow(wine, state, box, drives, choice, panel);
    if (threads > 0) {
        install::ExtractionLimits limits;
        limits.threads = threads;
        flow.setLimits(limits);
    }

    const long rssBeforeKb = peakRssKb();
    EventGap gap;
    gap.start();
    (void)flow.InstalaLivro();
    const qint64 installNs = gap.stop();
    const long rssKb = peakRssKb();

    const QString course = flow.strCurso();
    QString expected;
    if (state.rsMapeamento->findFirst("Curso", course)) {
        const QString letter = state.rsMapeamento->field("LetraDrive").toString().left(1);
        expected = state.catalogue->mensagem(code::BookInstalled, {course, letter});
    }
    const QString folder = wine.toUnixPath(state.strPastaDownload + course);
    const Tree onDisk = tree(folder);

    std::printf("book=%s\n", qPrintable(book.fileName()));
    std::printf("threads=%d\n", threads > 0 ? threads : install::ExtractionLimits{}.threads);
    std::printf("install_ms=%lld\n", roundedMs(installNs));
    std::printf("max_event_gap_ms=%lld\n", roundedMs(gap.largestNs()));
    std::printf("max_event_gap_at_ms=%lld\n", roundedMs(gap.largestAtNs()));
    std::printf("event_ticks=%d\n", gap.ticks());
    std::printf("peak_rss_mb=%ld\n", megabytes(rssKb));
    std::printf("peak_rss_before_install_mb=%ld\n", megabytes(rssBeforeKb));
    std::printf("book_files=%d\n", onDisk.files);
    std::printf("book_mb=%lld\n", (onDisk.bytes + (1 << 19)) >> 20);
    std::printf("book_folder=%s\n", qPrintable(folder));
    for (const QString &text : box.texts())
        std::printf("message=%s\n", qPrintable(oneLine(text)));
    const bool installed = !expected.isEmpty() && box.texts() == QStringList{expected};
    std::printf("installed=%s\n", installed ? "yes" : "no");
    return installed ? 0 : 1;
}
