#include "shell/DataPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

using shell::DataPlaces;

namespace {

// Each test has a data home of its own, put back afterwards.
class DataPlacesTest : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", data.path().toLocal8Bit()); }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved); }
    QString userRegistry() const { return data.path() + "/zeko-download/ZEKOVD.db"; }
    QStringList everything() const
    {
        QStringList all;
        for (const QFileInfo &f :
             QDir(data.path()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            all << f.fileName();
        return all;
    }
    static int rows(const QString &file)
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        int n = -1;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Mapeamento", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            n = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return n;
    }

    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    QTemporaryDir data, install;
};

} // namespace

TEST_F(DataPlacesTest, WhichRegistry)
{
    const QString folder = install.path();
    // Only the template, as a package in a folder root may write: the user's own registry.
    ASSERT_TRUE(QFile::copy(ZEKO_REGISTRY_TEMPLATE, folder + "/ZEKOVD.template.db"));
    DataPlaces::RegistryPlace place = DataPlaces::registryPlace(folder);
    EXPECT_EQ(place.file, userRegistry());
    EXPECT_EQ(place.templateFile, folder + "/ZEKOVD.template.db");
    // A writable folder with its registry keeps it.
    ASSERT_TRUE(QFile::copy(ZEKO_REGISTRY_TEMPLATE, folder + "/ZEKOVD.db"));
    place = DataPlaces::registryPlace(folder);
    EXPECT_EQ(place.file, folder + "/ZEKOVD.db");
    EXPECT_TRUE(place.templateFile.isEmpty());
    // Without XDG_DATA_HOME, or with a relative one, the data home is ~/.local/share.
    for (const char *value : {"", "relative/data"}) {
        qputenv("XDG_DATA_HOME", value);
        EXPECT_EQ(DataPlaces::dataHome(), QDir::homePath() + "/.local/share") << value;
    }
}

// Each of eight first starts at once makes its copy and adds its book at once:
// one registry is left, holding all eight books, and no temporary file.
TEST_F(DataPlacesTest, FirstStartsAtTheSameMoment)
{
    const QString templateFile = QString::fromUtf8(ZEKO_REGISTRY_TEMPLATE);
    for (int round = 0; round < 5; ++round) {
        QDir(data.path() + "/zeko-download").removeRecursively();
        std::vector<std::thread> starts;
        std::atomic<int> failures{0};
        for (int i = 0; i < 8; ++i)
            starts.emplace_back([&, i] {
                if (!DataPlaces::ensureRegistry(userRegistry(), templateFile)) {
                    ++failures;
                    return;
                }
                sqlite3 *db = nullptr;
                sqlite3_open_v2(QFile::encodeName(userRegistry()).constData(), &db, SQLITE_OPEN_READWRITE,
                                nullptr);
                sqlite3_busy_timeout(db, 5000);
                const QByteArray sql =
                    "INSERT INTO Mapeamento VALUES('U', 'L" + QByteArray::number(i) + "', 'X:', 'C:\\L')";
                if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                    ++failures;
                sqlite3_close(db);
            });
        for (std::thread &t : starts)
            t.join();
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(rows(userRegistry()), 8) << "round " << round;
        EXPECT_EQ(QDir(data.path() + "/zeko-download").entryList(QDir::Files | QDir::Hidden),
                  QStringList{"ZEKOVD.db"});
        struct stat st {};
        ::stat(QFile::encodeName(data.path() + "/zeko-download").constData(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}

// No template, a template that is no registry, a folder that cannot be made and
// a disk that fills up halfway: each says so and leaves nothing behind.
TEST_F(DataPlacesTest, FailuresLeaveNothing)
{
    using Failure = DataPlaces::Failure;
    const QString deep = data.path() + "/a/b/ZEKOVD.db";
    EXPECT_EQ(DataPlaces::ensureRegistry(deep, install.path() + "/none.db").failure(), Failure::NoTemplate);
    QFile text(install.path() + "/text.db");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();
    EXPECT_EQ(DataPlaces::ensureRegistry(deep, text.fileName()).failure(), Failure::BadTemplate);
    const DataPlaces::Made underFile = DataPlaces::ensureRegistry(text.fileName() + "/x/ZEKOVD.db",
                                                                  QString::fromUtf8(ZEKO_REGISTRY_TEMPLATE));
    EXPECT_EQ(underFile.failure(), Failure::System);
    EXPECT_EQ(underFile.systemError(), ENOTDIR);

    // Files may grow to 1 KiB only: the copy fails in the middle of its write.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const DataPlaces::Made full = DataPlaces::ensureRegistry(deep, QString::fromUtf8(ZEKO_REGISTRY_TEMPLATE));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(full.failure(), Failure::System);
    EXPECT_EQ(full.systemError(), EFBIG);
    EXPECT_TRUE(everything().isEmpty()) << everything().join(' ').toStdString();
}
