#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace platform {

// Result of a profile-string read as the ANSI Windows function reports it: the
// count it returns and the characters it copied into the caller's buffer.
struct ProfileRead {
    int count = 0;
    QString value;
};

// An INI file's bytes read and written the way the Windows profile-string
// functions do under Wine, since the course software and the launcher share the
// same file: same line splitting, trimming, names equal without regard to case
// for A to Z only, first section and first key win, surrounding quotes removed,
// buffer truncation and counts. It touches no file: ProfileFile does that.
//
// Writes change only the bytes they must (one value, one new line or one new
// section) and keep the rest of the file byte for byte, in its own encoding. A
// new line never joins the file's last line, whatever blanks end it.
//
// Nothing is indexed: each read or write walks the lines once, up to the key it
// wants, so time grows with the file's size and memory stays at the file's bytes
// and their decoded text.
class IniDocument {
  public:
    enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

    IniDocument() = default;
    explicit IniDocument(QByteArray bytes);

    // GetPrivateProfileStringA with a buffer of bufferSize characters: at most
    // bufferSize - 1 characters come back. A bufferSize of 0 returns 0.
    ProfileRead read(const QString &section, const QString &key, const QString &defaultValue,
                     int bufferSize) const;

    // What a write did to the content. It cannot fail: it only changes bytes in memory.
    enum class Change { Changed, Unchanged };
    // WritePrivateProfileStringA of one value; Unchanged when the key already held it.
    [[nodiscard]] Change write(const QString &section, const QString &key, const QString &value);

    const QByteArray &bytes() const { return m_bytes; }
    Encoding encoding() const { return m_encoding; }

  private:
    // One key line, as code-unit positions in m_text.
    struct Key {
        qsizetype lineStart = 0;
        qsizetype lineEnd = 0; // end of the trimmed line
        qsizetype nameEnd = 0; // end of the name before trimming
        qsizetype valueStart = 0;
        qsizetype eolEnd = 0;  // after the line break that follows
        bool hasValue = false; // the line has an '='
    };
    // What one walk over the lines found for a section and a key.
    struct Lookup {
        bool section = false;  // the section exists
        bool nameless = false; // it is the keys before any header
        qsizetype headerEolEnd = 0;
        std::optional<Key> key;  // the first key of that name in it
        std::optional<Key> last; // its last key line, where a new key goes
    };

    void decode();
    Lookup find(QStringView section, QStringView key) const;
    QStringView name(const Key &k) const;
    QStringView value(const Key &k) const;
    qsizetype byteOffset(qsizetype unit) const;
    QByteArray encode(const QString &text) const;
    void replaceSpan(qsizetype from, qsizetype to, const QString &text);
    QString lineBreak() const;

    QByteArray m_bytes;
    Encoding m_encoding = Encoding::Ansi;
    QString m_text; // decoded code units, without the byte-order mark
};

} // namespace platform
