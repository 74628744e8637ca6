#include "shell/DataPlaces.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
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
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const QString templateFile = QStringLiteral(ZEKO_REGISTRY_TEMPLATE);
    QTemporaryDir data;
};

} // namespace

TEST_F(DataPlacesTest, DataHomeWithoutAnAbsoluteSetting)
{
    for (const char *value : {"", "relative/data"}) {
        qputenv("XDG_DATA_HOME", value);
        EXPECT_EQ(DataPlaces::registryPlace("/x").file,
                  QDir::homePath() + "/.local/share/zeko-download/ZEKOVD.db")
            << value;
    }
}

// Eight first starts at once each make their copy and add a book at once: one
// registry is left, in a folder of mode 0700, holding all eight books.
TEST_F(DataPlacesTest, FirstStartsAtTheSameMoment)
{
    for (int round = 0; round < 5; ++round) {
        QDir(data.path() + "/zeko-download").removeRecursively();
        std::atomic<int> failures{0};
        std::vector<std::thread> starts;
        for (int i = 0; i < 8; ++i)
            starts.emplace_back([&, i] {
                sqlite3 *db = nullptr;
                const QByteArray sql =
                    "INSERT INTO Mapeamento VALUES('U', 'L" + QByteArray::number(i) + "', '', '')";
                if (!DataPlaces::ensureRegistry(userRegistry(), templateFile) ||
                    sqlite3_open_v2(QFile::encodeName(userRegistry()).constData(), &db, SQLITE_OPEN_READWRITE,
                                    nullptr) != SQLITE_OK ||
                    sqlite3_busy_timeout(db, 5000) != SQLITE_OK ||
                    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                    ++failures;
                sqlite3_close(db);
            });
        for (std::thread &t : starts)
            t.join();
        EXPECT_EQ(failures, 0);
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(userRegistry()).constData(), &db);
        int rows = 0;
        sqlite3_exec(
            db, "SELECT count(*) FROM Mapeamento",
            [](void *n, int, char **v, char **) {
                *static_cast<int *>(n) = std::atoi(v[0]);
                return 0;
            },
            &rows, nullptr);
        sqlite3_close(db);
        EXPECT_EQ(rows, 8) << "round " << round;
        EXPECT_EQ(QDir(data.path() + "/zeko-download").entryList(QDir::Files | QDir::Hidden),
                  QStringList{"ZEKOVD.db"});
        struct stat st {};
        ::stat(QFile::encodeName(data.path() + "/zeko-download").constData(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
}

// A disk that fills up halfway through the copy (files may grow to 1 KiB only):
// the reason comes back, and neither the copy nor the folders made for it stay.
TEST_F(DataPlacesTest, CopyCutShortLeavesNothing)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const DataPlaces::Made full = DataPlaces::ensureRegistry(data.path() + "/a/b/ZEKOVD.db", templateFile);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(full.failure(), DataPlaces::Failure::System);
    EXPECT_EQ(full.systemError(), EFBIG);
    EXPECT_TRUE(QDir(data.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}
