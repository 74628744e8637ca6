#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace platform {

// Result of a profile-string read as the ANSI Windows function reports it: the
// count it returns and the characters it copied into the caller's buffer.
struct ProfileRead {
    int count = 0;
    QString value;
};

// An INI file read and written the way the Windows profile-string functions do
// under Wine, since the course software and the launcher share the same file:
// same line splitting, trimming, case-insensitive names, first section and first
// key win, surrounding quotes removed, buffer truncation and counts.
//
// Writes change only the bytes they must (one value, one new line or one new
// section) and keep the rest of the file byte for byte, in its own encoding.
class ProfileFile {
public:
    enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

    ProfileFile() = default;
    explicit ProfileFile(QByteArray bytes);

    // GetPrivateProfileStringA with a buffer of bufferSize characters: at most
    // bufferSize - 1 characters come back. A bufferSize of 0 returns 0.
    ProfileRead read(const QString &section, const QString &key, const QString &defaultValue,
                     int bufferSize) const;

    // WritePrivateProfileStringA of one value. Returns false when the content is
    // unchanged because nothing needed changing.
    bool write(const QString &section, const QString &key, const QString &value);

    const QByteArray &bytes() const { return m_bytes; }
    Encoding encoding() const { return m_encoding; }

    // File-level helpers. A missing or unreadable file reads as an empty one.
    static ProfileRead readFile(const QString &unixPath, const QString &section,
                                const QString &key, const QString &defaultValue,
                                int bufferSize);
    // Writes atomically (temporary file, fsync, rename): a crash leaves either the
    // old or the new file, never a truncated one. Fails, changing nothing, when the
    // file is read-only or its folder cannot take the new file.
    static bool writeFile(const QString &unixPath, const QString &section, const QString &key,
                          const QString &value, QString *error = nullptr);

private:
    struct Key {
        QString name;              // up to the first NUL, as Windows compares it
        std::optional<QString> value;
        qsizetype lineStart = 0;   // code-unit positions in m_text
        qsizetype lineEnd = 0;     // end of the trimmed line
        qsizetype nameEnd = 0;     // end of the name before trimming
        qsizetype valueStart = 0;
        qsizetype eolEnd = 0;      // after the line break(s) that follow
    };
    struct Section {
        QString name;
        qsizetype headerEolEnd = 0;
        std::vector<Key> keys;
    };

    void parse();
    const Section *findSection(const QString &trimmedName) const;
    QByteArray encode(const QString &text) const;
    void replaceSpan(qsizetype from, qsizetype to, const QString &text);
    QString lineBreak() const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Ansi;
    QString m_text;                    // decoded code units
    std::vector<qsizetype> m_offsets;  // byte offset of each code unit, plus the end
    std::vector<Section> m_sections;   // the first one holds the keys before any header
};

} // namespace platform
