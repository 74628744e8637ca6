#include "Recordset.h"

#include "Database.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace shell::registry {

namespace {

class Statement {
  public:
    Statement(sqlite3 *db, const QString &sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3_stmt *get() const { return m_stmt; }

    bool bind(const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values[i];
            int rc;
            if (v.isNull()) {
                rc = sqlite3_bind_null(m_stmt, i + 1);
            } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                       v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
                rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
            } else {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
            if (rc != SQLITE_OK)
                return false;
        }
        return true;
    }

  private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};

QVariant columnValue(sqlite3_stmt *stmt, int col)
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, col));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)),
                                          sqlite3_column_bytes(stmt, col)));
    }
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    const bool aText = a.typeId() == QMetaType::QString;
    const bool bText = b.typeId() == QMetaType::QString;
    if (aText || bText)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
    return a.toLongLong() == b.toLongLong();
}

QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

Recordset::Recordset(Database &db, QString table, QString query, QVariantList params)
    : m_db(db)
    , m_table(std::move(table))
    , m_query(std::move(query))
    , m_params(std::move(params))
{
}

std::unique_ptr<Recordset> Recordset::open(Database &db, const QString &query, const QVariantList &params,
                                           QString *error)
{
    static const QRegularExpression select(QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+(\w+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(query);
    if (!m.hasMatch()) {
        if (error)
            *error = QStringLiteral("not a query of one table: %1").arg(query);
        return nullptr;
    }
    std::unique_ptr<Recordset> rs(new Recordset(db, m.captured(1), query, params));
    if (!rs->requery(error))
        return nullptr;
    return rs;
}

bool Recordset::requery(QString *error)
{
    // The row id comes along so that edits and deletions reach the same row.
    QString sql = m_query;
    static const QRegularExpression star(QStringLiteral(R"(^\s*SELECT\s+\*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    sql.replace(star, QStringLiteral("SELECT rowid, *"));
    Statement stmt(m_db.handle(), sql);
    if (!stmt.ok() || !stmt.bind(m_params)) {
        m_lastCode = sqlite3_extended_errcode(m_db.handle());
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_db.path(), m_db.lastError());
        return false;
    }
    std::vector<Row> rows;
    QStringList fields;
    const int columns = sqlite3_column_count(stmt.get());
    for (int c = 1; c < columns; ++c)
        fields.append(QString::fromUtf8(sqlite3_column_name(stmt.get(), c)));
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        Row row;
        row.rowid = sqlite3_column_int64(stmt.get(), 0);
        for (int c = 1; c < columns; ++c)
            row.values.append(columnValue(stmt.get(), c));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        m_lastCode = sqlite3_extended_errcode(m_db.handle());
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_db.path(), m_db.lastError());
        return false;
    }
    m_rows = std::move(rows);
    m_fields = fields;
    m_pos = 0;
    m_noMatch = false;
    m_currentDeleted = false;
    return true;
}

void Recordset::moveFirst()
{
    m_pos = 0;
    m_currentDeleted = false;
}

void Recordset::moveNext()
{
    if (m_currentDeleted)
        m_currentDeleted = false; // already stands on the row after the deleted one
    else if (!eof())
        ++m_pos;
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Recordset::findFirst(const QString &field, const QVariant &value)
{
    const int col = fieldIndex(field);
    for (qsizetype i = 0; col >= 0 && i < qsizetype(m_rows.size()); ++i) {
        if (sameValue(m_rows[i].values[col], value)) {
            m_pos = i;
            m_currentDeleted = false;
            m_noMatch = false;
            return true;
        }
    }
    m_noMatch = true;
    return false;
}

QVariant Recordset::field(const QString &name) const
{
    return field(fieldIndex(name));
}

QVariant Recordset::field(int position) const
{
    if (!hasCurrent() || position < 0 || position >= m_fields.size())
        return {};
    return m_rows[m_pos].values[position];
}

bool Recordset::edit(const Fields &values, QString *error)
{
    if (!hasCurrent()) {
        m_lastCode = SQLITE_NOTFOUND;
        if (error)
            *error = QStringLiteral("%1: no current row to change").arg(m_table);
        return false;
    }
    QStringList sets;
    QVariantList params;
    std::vector<int> cols;
    for (const auto &[name, value] : values) {
        const int col = fieldIndex(name);
        if (col < 0) {
            if (error)
                *error = QStringLiteral("%1 has no field %2").arg(m_table, name);
            return false;
        }
        sets.append(quoted(m_fields[col]) + QStringLiteral(" = ?"));
        params.append(value);
        cols.push_back(col);
    }
    params.append(m_rows[m_pos].rowid);
    Statement stmt(m_db.handle(),
                   QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoted(m_table), sets.join(u',')));
    if (!stmt.ok() || !stmt.bind(params) || sqlite3_step(stmt.get()) != SQLITE_DONE) {
        m_lastCode = sqlite3_extended_errcode(m_db.handle());
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_db.path(), m_db.lastError());
        return false;
    }
    for (size_t i = 0; i < cols.size(); ++i)
        m_rows[m_pos].values[cols[i]] = values[i].second;
    return true;
}

bool Recordset::addNew(const Fields &values, QString *error)
{
    QStringList names, marks;
    QVariantList params;
    Row row;
    for (int i = 0; i < m_fields.size(); ++i)
        row.values.append(QVariant());
    for (const auto &[name, value] : values) {
        const int col = fieldIndex(name);
        if (col < 0) {
            if (error)
                *error = QStringLiteral("%1 has no field %2").arg(m_table, name);
            return false;
        }
        names.append(quoted(m_fields[col]));
        marks.append(QStringLiteral("?"));
        params.append(value);
        row.values[col] = value;
    }
    Statement stmt(m_db.handle(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(quoted(m_table), names.join(u','), marks.join(u',')));
    if (!stmt.ok() || !stmt.bind(params) || sqlite3_step(stmt.get()) != SQLITE_DONE) {
        m_lastCode = sqlite3_extended_errcode(m_db.handle());
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_db.path(), m_db.lastError());
        return false;
    }
    row.rowid = sqlite3_last_insert_rowid(m_db.handle());
    m_rows.push_back(std::move(row));
    return true;
}

bool Recordset::deleteCurrent(QString *error)
{
    if (!hasCurrent()) {
        m_lastCode = SQLITE_NOTFOUND;
        if (error)
            *error = QStringLiteral("%1: no current row to delete").arg(m_table);
        return false;
    }
    Statement stmt(m_db.handle(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(m_table)));
    if (!stmt.ok() || !stmt.bind({m_rows[m_pos].rowid}) || sqlite3_step(stmt.get()) != SQLITE_DONE) {
        m_lastCode = sqlite3_extended_errcode(m_db.handle());
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_db.path(), m_db.lastError());
        return false;
    }
    m_rows.erase(m_rows.begin() + m_pos);
    m_currentDeleted = true;
    return true;
}

} // namespace shell::registry
