#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <utility>
#include <vector>

namespace shell::registry {

class Database;

// An updatable set of the rows of one table that a query selected, kept open
// for the whole run. It has a current row; finds, moves, edits, additions and
// deletions act on it and reach the database at once. Rows added through the
// set join its end; a requery runs the query again.
//
// Values are bound to `?` placeholders, never spliced into the query text, and
// text is compared without regard to letter case.
class Recordset {
  public:
    using Fields = std::vector<std::pair<QString, QVariant>>;

    // query: "SELECT * FROM <table> ..." with `?` for each value in params.
    [[nodiscard]] static std::unique_ptr<Recordset> open(Database &db, const QString &query,
                                                         const QVariantList &params, QString *error);

    [[nodiscard]] bool requery(QString *error = nullptr);

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    bool eof() const { return m_pos >= qsizetype(m_rows.size()); }
    bool bof() const { return m_pos < 0 || m_rows.empty(); }
    // True while the set stands on a row whose fields can be read.
    bool hasCurrent() const { return !m_currentDeleted && !eof() && !bof(); }

    void moveFirst();
    void moveNext();

    // Positions on the first row whose field equals value (text ignoring letter
    // case). Without a match the current row stays where it was and noMatch()
    // turns true.
    [[nodiscard]] bool findFirst(const QString &field, const QVariant &value);
    bool noMatch() const { return m_noMatch; }

    const QStringList &fieldNames() const { return m_fields; }
    // A field of the current row by name or by position; null without a current row.
    QVariant field(const QString &name) const;
    QVariant field(int position) const;

    // Changes fields of the current row.
    [[nodiscard]] bool edit(const Fields &values, QString *error = nullptr);
    // Adds a row; fields not given stay null. The current row does not move.
    [[nodiscard]] bool addNew(const Fields &values, QString *error = nullptr);
    // Deletes the current row; the next move goes to the row after it.
    [[nodiscard]] bool deleteCurrent(QString *error = nullptr);
    // SQLite's result code of the last failed call, for saying why in the user's language.
    int lastErrorCode() const { return m_lastCode; }

  private:
    Recordset(Database &db, QString table, QString query, QVariantList params);
    int fieldIndex(const QString &name) const;

    struct Row {
        qint64 rowid = 0;
        QVariantList values;
    };

    Database &m_db;
    QString m_table;
    QString m_query;
    QVariantList m_params;
    QStringList m_fields;
    std::vector<Row> m_rows;
    qsizetype m_pos = 0;
    bool m_noMatch = false;
    bool m_currentDeleted = false;
    int m_lastCode = 0;
};

} // namespace shell::registry
