#pragma once

#include "ChmContents.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

namespace shell::help {

// A compiled HTML help file, read whole when opened by zeko-help-reader, a
// program of its own, since chmlib can crash, hang or exhaust memory on a
// damaged file. Paths inside the file are written as chmlib lists them:
// "/overview.html", "/#SYSTEM"; letter case does not matter inside the file, as
// for the help viewer on Windows.
class ChmFile {
  public:
    enum class Failure {
        None,
        Missing, // no file of that name, in any letter case
        // A folder, an unreadable file, not a compiled help file, or one that
        // ends before its directory.
        NotAChm,
        // A compiled help file broken inside: the reader refused it, crashed on
        // it, ran out of time or wrote more or other than the contents (or could
        // not be started at all).
        Damaged,
        NoSuchContext, // the context number is not in the file's context map
    };

    // The reader program and the bounds it is held to.
    struct Reader {
        QString program; // empty: zeko-help-reader beside the running program
        std::chrono::milliseconds timeLimit{10000};
        qint64 outputLimit = ChmContents::kMaxFramedSize;
    };
    // For programs that do not live beside the reader, such as tests.
    static void setReader(const Reader &reader);
    static Reader reader();

    // One line of the table of contents; depth 0 is the outermost level.
    struct TocEntry {
        QString name;
        QString local; // path inside the file, may carry a "#fragment"; empty for a heading
        int depth = 0;
    };

    ~ChmFile() = default;
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Opens the help file. When no file has exactly that name, the one in the same
    // folder whose name differs only in letter case is opened instead (the folders
    // themselves must match). Everything inside is read at once, by the reader
    // program, waiting for it at most its time limit. Returns null on failure,
    // with the reason in *failure.
    [[nodiscard]] static std::unique_ptr<ChmFile> open(const QString &path, Failure *failure = nullptr);

    // The existing file the path names, its file name compared without regard to
    // letter case when there is no exact match; empty when there is none.
    static QString findFile(const QString &path);

    // A help file whose contents were already read (by readChm, in a process
    // that may crash on it); what open does once the reader has written them.
    [[nodiscard]] static std::unique_ptr<ChmFile> fromContents(const QString &path, ChmContents contents,
                                                               Failure *failure = nullptr);

    // The file actually opened (its name as on disk).
    const QString &path() const { return m_path; }

    // Every ordinary file inside (topics, pictures, style sheets, the contents).
    QStringList files() const;
    [[nodiscard]] bool contains(const QString &internalPath) const;
    // The file's bytes; nothing when there is no such file or it cannot be read.
    [[nodiscard]] std::optional<QByteArray> read(const QString &internalPath) const;

    // Settings of the help project, from the internal #SYSTEM file; empty when unset.
    const QString &title() const { return m_title; }
    const QString &defaultTopic() const { return m_defaultTopic; }

    // The topic (internal path, possibly with a "#fragment") that the project's
    // context map gives the number. A file compiled without any context map
    // answers every number with its default topic, as that is the page the
    // project meant to open first. Empty, with NoSuchContext, when the map lacks
    // the number or its topic is not in the file.
    QString topicForContext(quint32 context, Failure *failure = nullptr) const;

    // The table of contents from the project's .hhc sitemap; empty when it has none.
    QList<TocEntry> contents() const;
    // Parses a sitemap (.hhc) whose links are relative to the root of the file.
    static QList<TocEntry> parseSitemap(const QByteArray &hhc);

    // Turns a topic name as stored by help compilers (relative, with backslashes,
    // "ms-its:x.chm::/a.html", or the absolute path the source had on the
    // compiling machine) into the internal path of a file that exists; empty when
    // none matches.
    QString resolveTopic(const QString &stored) const;

  private:
    ChmFile(QString path, ChmContents contents);
    static std::optional<ChmContents> runReader(const QString &path, Failure *failure);
    const ChmContents::Entry *entry(const QString &internalPath) const;
    void readSystem();

    QString m_path;
    ChmContents m_contents;
    QHash<QByteArray, qsizetype> m_byName; // lower-cased, as chmlib compares names
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
};

} // namespace shell::help
