#pragma once

// Builds ZIP archives for tests with libzip, honest or hostile: raw code page
// 850 names, the Unicode path field, links, encryption; and patches written
// archives to break them (a CRC, a size, a truncation).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <zip.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <deque>
#include <tuple>
#include <vector>

class ZipBuilder {
  public:
    explicit ZipBuilder(QString path)
        : m_path(std::move(path))
    {
        QFile::remove(m_path);
        int error = 0;
        m_zip = zip_open(QFile::encodeName(m_path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        EXPECT_NE(m_zip, nullptr) << "zip_open " << error;
    }
    ~ZipBuilder()
    {
        if (m_zip)
            zip_discard(m_zip);
    }

    // A file; a name with bytes >= 0x80 that are not UTF-8 is stored as given,
    // without the UTF-8 flag (as a Portuguese Windows stores code page 850).
    zip_int64_t file(const QByteArray &name, const QByteArray &data, bool store = false)
    {
        m_data.push_back(data);
        zip_source_t *src = zip_source_buffer(m_zip, m_data.back().constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t i = zip_file_add(m_zip, name.constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
        EXPECT_GE(i, 0) << zip_strerror(m_zip);
        if (i >= 0) {
            zip_set_file_compression(m_zip, zip_uint64_t(i), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
            zip_file_set_mtime(m_zip, zip_uint64_t(i), 1700000000, 0);
        }
        return i;
    }
    zip_int64_t folder(const QByteArray &name)
    {
        const zip_int64_t i = zip_dir_add(m_zip, name.constData(), ZIP_FL_ENC_GUESS);
        EXPECT_GE(i, 0) << zip_strerror(m_zip);
        return i;
    }
    // A Unix symbolic link to target.
    zip_int64_t link(const QByteArray &name, const QByteArray &target)
    {
        const zip_int64_t i = file(name, target, true);
        zip_file_set_external_attributes(m_zip, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX,
                                         zip_uint32_t(S_IFLNK | 0777) << 16);
        return i;
    }
    // The Info-ZIP Unicode path field: the real name in UTF-8 beside a raw one.
    void unicodePath(zip_int64_t index, const QByteArray &rawName, const QByteArray &utf8Name)
    {
        QByteArray field(1, '\1');
        const quint32 crc =
            quint32(crc32(0, reinterpret_cast<const Bytef *>(rawName.constData()), uInt(rawName.size())));
        for (int b = 0; b < 4; ++b)
            field.append(char((crc >> (8 * b)) & 0xff));
        field.append(utf8Name);
        m_data.push_back(field);
        // libzip keeps 0x7075 for itself: write the field under a stand-in id and
        // give it its real id in the written bytes.
        m_unicodeFields.push_back(field);
        EXPECT_EQ(zip_file_extra_field_set(m_zip, zip_uint64_t(index), kStandIn, ZIP_EXTRA_FIELD_NEW,
                                           reinterpret_cast<const zip_uint8_t *>(m_data.back().constData()),
                                           zip_uint16_t(field.size()), ZIP_FL_CENTRAL | ZIP_FL_LOCAL),
                  0)
            << zip_strerror(m_zip);
    }
    bool encrypt(zip_int64_t index)
    {
        for (zip_uint16_t method : {zip_uint16_t(ZIP_EM_AES_256), zip_uint16_t(ZIP_EM_TRAD_PKWARE)})
            if (zip_encryption_method_supported(method, 1))
                return zip_file_set_encryption(m_zip, zip_uint64_t(index), method, "secret") == 0;
        return false;
    }
    // Writes the archive; the builder is spent afterwards.
    QString close()
    {
        EXPECT_EQ(zip_close(m_zip), 0) << zip_strerror(m_zip);
        m_zip = nullptr;
        if (!m_unicodeFields.empty()) {
            QByteArray bytes = read(m_path);
            for (const QByteArray &field : m_unicodeFields) {
                QByteArray header;
                header.append(char(kStandIn & 0xff)).append(char(kStandIn >> 8));
                header.append(char(field.size() & 0xff)).append(char(field.size() >> 8));
                const QByteArray was = header + field;
                QByteArray now = was;
                now[0] = char(0x75);
                now[1] = char(0x70);
                EXPECT_TRUE(bytes.contains(was));
                bytes.replace(was, now);
            }
            write(m_path, bytes);
        }
        return m_path;
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // Marks a stored entry of a closed archive as compressed with another
    // method, in its local and its central header, as a tool using that method
    // would label it.
    static void markMethod(const QString &path, const QByteArray &entry, quint16 method)
    {
        QByteArray bytes = read(path);
        for (const auto &[header, nameAt, methodAt] :
             {std::tuple{QByteArray("PK\x03\x04", 4), 30, 8}, {QByteArray("PK\x01\x02", 4), 46, 10}})
            for (qsizetype at = bytes.indexOf(header); at >= 0; at = bytes.indexOf(header, at + 4))
                if (bytes.mid(at + nameAt, entry.size()) == entry) {
                    bytes[at + methodAt] = char(method & 0xff);
                    bytes[at + methodAt + 1] = char(method >> 8);
                }
        write(path, bytes);
    }

  private:
    QString m_path;
    zip_t *m_zip = nullptr;
    static constexpr zip_uint16_t kStandIn = 0x7a7a;
    std::deque<QByteArray> m_data; // buffers must outlive zip_close
    std::vector<QByteArray> m_unicodeFields;
};
