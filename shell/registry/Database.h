#pragma once

#include <QString>

#include <memory>

struct sqlite3;

namespace shell::registry {

// One open database file. Opening never creates a file: a missing registry or
// catalogue is an error, not a fresh empty database.
class Database {
  public:
    enum class Mode {
        SharedReadWrite,   // the book registry: other copies may open it too
        ExclusiveReadOnly, // the message catalogue: held by this process alone
        SharedReadOnly,    // the catalogue for zeko-books: other users' copies read it too
    };

    // Why an open failed, so the caller can say it in the user's language.
    enum class Failure { None, Missing, NotAFile, ReadOnly, InUse, NotADatabase, Locked, Other };

    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The reason for a failure names the file and says what is wrong with it:
    // missing, not a database, locked, read-only or in use.
    [[nodiscard]] static std::unique_ptr<Database> open(const QString &path, Mode mode, QString *error,
                                                        Failure *failure = nullptr);

    // How long a statement of a database opened from now on waits for another
    // program's lock (2 s unless set); test programs shorten it, since their
    // locks are held on purpose and never let go in time.
    static void setBusyTimeout(int milliseconds);

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }
    QString lastError() const;

  private:
    Database(sqlite3 *db, QString path, int lockFd);

    sqlite3 *m_db = nullptr;
    QString m_path;
    int m_lockFd = -1;
};

} // namespace shell::registry
