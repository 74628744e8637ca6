#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct chmFile;

namespace shell::help {

// A compiled HTML help file, read through chmlib. Paths inside the file are
// written as chmlib lists them: "/overview.html", "/#SYSTEM"; letter case does
// not matter inside the file, as for the help viewer on Windows.
class ChmFile {
  public:
    enum class Failure {
        None,
        Missing,       // no file of that name, in any letter case
        NotAChm,       // a folder, an unreadable file, or not a compiled help file
        NoSuchContext, // the context number is not in the file's context map
    };

    // One line of the table of contents; depth 0 is the outermost level.
    struct TocEntry {
        QString name;
        QString local; // path inside the file, may carry a "#fragment"; empty for a heading
        int depth = 0;
    };

    ~ChmFile();
    ChmFile(const ChmFile &) = delete;
    ChmFile &operator=(const ChmFile &) = delete;

    // Opens the help file. When no file has exactly that name, the one in the same
    // folder whose name differs only in letter case is opened instead (the folders
    // themselves must match). Returns null on failure, with the reason in *failure.
    [[nodiscard]] static std::unique_ptr<ChmFile> open(const QString &path, Failure *failure = nullptr);

    // The existing file the path names, its file name compared without regard to
    // letter case when there is no exact match; empty when there is none.
    static QString findFile(const QString &path);

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
    ChmFile(::chmFile *handle, QString path);
    void readSystem();

    ::chmFile *m_handle = nullptr;
    QString m_path;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    bool m_systemRead = false;
};

} // namespace shell::help
