#pragma once

// Writing book archives that come out the same bytes on every build: names
// flagged UTF-8, a fixed time, and Unix modes (without them an unpacker may give
// the files no permissions at all). Shared by the sample book and the tests' books.

#include <zip.h>

#include <sys/stat.h>

#include <ctime>
#include <string>

namespace bookzip {

inline constexpr std::time_t kFixedTime = 1704067200; // 2024-01-01 00:00 UTC

// Adds a folder entry (a name ending in "/", source null) or a file read from
// source, which is freed when the file cannot be added. Then gives the entry its
// mode, the fixed time and, for a file, deflate at level. False on any failure.
inline bool add(zip_t *zip, const std::string &name, zip_source_t *source, int level)
{
    const bool folder = name.ends_with('/');
    zip_int64_t index = -1;
    if (folder) {
        index = zip_dir_add(zip, name.c_str(), ZIP_FL_ENC_UTF_8);
    } else {
        if (!source)
            return false;
        index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            zip_source_free(source);
    }
    if (index < 0)
        return false;
    const auto i = zip_uint64_t(index);
    const zip_uint32_t mode = folder ? (S_IFDIR | 0755) : (S_IFREG | 0644);
    return zip_file_set_external_attributes(zip, i, 0, ZIP_OPSYS_UNIX, mode << 16) == 0 &&
           zip_file_set_mtime(zip, i, kFixedTime, 0) == 0 &&
           (folder || zip_set_file_compression(zip, i, ZIP_CM_DEFLATE, zip_uint32_t(level)) == 0);
}

} // namespace bookzip
