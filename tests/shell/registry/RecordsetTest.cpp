#include "shell/registry/Recordset.h"
#include "common/InstallDir.h"
#include "common/QtPrinters.h"
#include "shell/registry/Database.h"

#include <gtest/gtest.h>

using shell::registry::Database;
using shell::registry::Recordset;

namespace {

const QString kQuery = QStringLiteral("SELECT * FROM Mapeamento WHERE Usuario =? ORDER BY Curso");

class RecordsetTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        QString error;
        db = Database::open(dir.registry(), Database::Mode::SharedReadWrite, &error);
        ASSERT_TRUE(db) << error.toStdString();
    }
    std::unique_ptr<Recordset> books(const QString &user)
    {
        QString error;
        auto rs = Recordset::open(*db, kQuery, {user}, &error);
        EXPECT_TRUE(rs) << error.toStdString();
        return rs;
    }
    void add(Recordset &rs, const QString &user, const QString &course, const QString &letter)
    {
        QString error;
        ASSERT_TRUE(rs.addNew({{"LetraDrive", letter},
                               {"Curso", course},
                               {"Caminho", "C:\\ZEKO_Download\\Download\\" + course},
                               {"Usuario", user}},
                              &error))
            << error.toStdString();
    }
    InstallDir dir;
    std::unique_ptr<Database> db;
};

} // namespace

// Fields come in their stored order, readable by position as by name.
TEST_F(RecordsetTest, FieldOrderAndPositions)
{
    auto rs = books("ANA");
    add(*rs, "ANA", "LIVRO1", "X:");
    ASSERT_TRUE(rs->requery());
    EXPECT_EQ(rs->fieldNames(), QStringList({"Usuario", "Curso", "LetraDrive", "Caminho"}));
    EXPECT_EQ(rs->field(1).toString(), "LIVRO1");
    EXPECT_EQ(rs->field(2).toString(), "X:");
    EXPECT_EQ(rs->field("caminho").toString(), "C:\\ZEKO_Download\\Download\\LIVRO1");
}

// Only the user's rows, ordered by book; the user name is matched as a value,
// so an apostrophe is just a character.
TEST_F(RecordsetTest, OnlyTheUsersRowsInBookOrder)
{
    auto all = books("O'BRIEN");
    add(*all, "O'BRIEN", "ZETA", "Z:");
    add(*all, "O'BRIEN", "ALFA", "Y:");
    add(*all, "ANA", "BETA", "X:");
    add(*all, "O' OR '1'='1", "GAMA", "W:");
    auto rs = books("O'BRIEN");
    ASSERT_EQ(rs->recordCount(), 2);
    rs->moveFirst();
    EXPECT_EQ(rs->field("Curso").toString(), "ALFA");
    rs->moveNext();
    EXPECT_EQ(rs->field("Curso").toString(), "ZETA");
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(books("O' OR '1'='1")->recordCount(), 1);
}

TEST_F(RecordsetTest, FindIgnoresLetterCaseAndKeepsPositionOnMiss)
{
    auto rs = books("ANA");
    add(*rs, "ANA", "LIVRO1", "X:");
    add(*rs, "ANA", "Inglês Básico 2", "Y:");
    add(*rs, "ANA", "D'Artagnan", "W:");
    ASSERT_TRUE(rs->findFirst("Curso", "livro1"));
    EXPECT_EQ(rs->field("LetraDrive").toString(), "X:");
    EXPECT_TRUE(rs->findFirst("LetraDrive", "y:"));
    EXPECT_EQ(rs->field("Curso").toString(), QStringLiteral("Inglês Básico 2"));
    EXPECT_TRUE(rs->findFirst("Curso", QStringLiteral("INGLÊS BÁSICO 2")));
    EXPECT_TRUE(rs->findFirst("Curso", "d'artagnan"));
    EXPECT_FALSE(rs->findFirst("Curso", "nothing"));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->field("Curso").toString(), "D'Artagnan");
}

// Edits, additions and deletions reach the file at once and are seen by a
// second connection, as another copy of the manager would see them.
TEST_F(RecordsetTest, ChangesReachTheDatabaseAtOnce)
{
    auto rs = books("ANA");
    const QString longName(40, u'L');
    add(*rs, "ANA", longName, "X:");
    add(*rs, "ANA", "B", "Y:");
    ASSERT_TRUE(rs->findFirst("Curso", longName));
    ASSERT_TRUE(rs->edit({{"LetraDrive", "Q:"}}));
    EXPECT_EQ(rs->field("LetraDrive").toString(), "Q:");

    QString error;
    auto other = Database::open(dir.registry(), Database::Mode::SharedReadWrite, &error);
    ASSERT_TRUE(other);
    auto seen = Recordset::open(*other, kQuery, {"ANA"}, &error);
    ASSERT_TRUE(seen->findFirst("Curso", longName));
    EXPECT_EQ(seen->field("LetraDrive").toString(), "Q:");
    EXPECT_EQ(seen->field("Curso").toString().size(), 40);

    ASSERT_TRUE(rs->findFirst("Curso", "B"));
    ASSERT_TRUE(rs->deleteCurrent());
    EXPECT_FALSE(rs->hasCurrent());
    ASSERT_TRUE(seen->requery());
    EXPECT_EQ(seen->recordCount(), 1);
}

// Rows added through the set join it at once, at its end, without a requery.
TEST_F(RecordsetTest, AddedRowsJoinTheSet)
{
    auto rs = books("ANA");
    add(*rs, "ANA", "ZZZ", "X:");
    add(*rs, "ANA", "AAA", "Y:");
    EXPECT_EQ(rs->recordCount(), 2);
    rs->moveFirst();
    EXPECT_EQ(rs->field("Curso").toString(), "ZZZ");
    ASSERT_TRUE(rs->requery());
    EXPECT_EQ(rs->field("Curso").toString(), "AAA");
}

// After a deletion the next move lands on the row that followed the deleted one.
TEST_F(RecordsetTest, MoveNextAfterDeleteGoesToTheFollowingRow)
{
    auto rs = books("ANA");
    for (const char *c : {"A", "B", "C"})
        add(*rs, "ANA", c, QString(c) + ":");
    ASSERT_TRUE(rs->requery());
    rs->moveFirst();
    rs->moveNext();
    ASSERT_EQ(rs->field("Curso").toString(), "B");
    ASSERT_TRUE(rs->deleteCurrent());
    rs->moveNext();
    EXPECT_EQ(rs->field("Curso").toString(), "C");
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
}

TEST_F(RecordsetTest, EmptySetIsAtBothEnds)
{
    auto rs = books("NOBODY");
    EXPECT_TRUE(rs->isEmpty());
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->bof());
    EXPECT_FALSE(rs->edit({{"LetraDrive", "X:"}}));
    EXPECT_FALSE(rs->deleteCurrent());
    EXPECT_TRUE(rs->field("Curso").isNull());
}

TEST_F(RecordsetTest, QueryOfAMissingTableFails)
{
    QString error;
    EXPECT_FALSE(Recordset::open(*db, "SELECT * FROM Nothing", {}, &error));
    EXPECT_TRUE(error.contains("Nothing"));
}
