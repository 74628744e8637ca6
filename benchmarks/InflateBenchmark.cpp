// Inflates every deflated entry of a book with zlib, ISA-L and libdeflate, one
// thread, from memory, and prints what each takes:
//
//   InflateBenchmark <book.zip> [repeats]
//
// The compressed bytes are read once through libzip, so only the inflate and the
// CRC over its output are timed, as the install does them: zlib and ISA-L stream
// through a 256 KiB block; libdeflate cannot stream and inflates each entry whole
// into a buffer of its declared size, whose largest is printed too. Each library's
// CRC must match the central directory's, or the figures are refused.

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBlock = std::size_t(1) << 18;

struct Entry {
    std::vector<unsigned char> compressed;
    std::uint64_t size;
    std::uint32_t crc;
};

bool readEntries(const char *path, std::vector<Entry> &entries)
{
    int error = 0;
    zip_t *z = zip_open(path, ZIP_RDONLY, &error);
    if (!z)
        return false;
    bool ok = true;
    for (zip_int64_t i = 0, n = zip_get_num_entries(z, 0); i < n && ok; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0 || st.comp_method != ZIP_CM_DEFLATE)
            continue;
        Entry e{std::vector<unsigned char>(st.comp_size), st.size, st.crc};
        zip_file_t *f = zip_fopen_index(z, zip_uint64_t(i), ZIP_FL_COMPRESSED);
        ok = f && zip_fread(f, e.compressed.data(), e.compressed.size()) == zip_int64_t(st.comp_size);
        if (f)
            zip_fclose(f);
        entries.push_back(std::move(e));
    }
    zip_discard(z);
    return ok;
}

// Each inflates one entry and returns the CRC of what it produced, or ~crc on failure.
using Inflater = std::function<std::uint32_t(const Entry &)>;

std::uint32_t withZlib(const Entry &e, std::vector<unsigned char> &out)
{
    z_stream s{};
    if (inflateInit2(&s, -MAX_WBITS) != Z_OK)
        return ~e.crc;
    s.next_in = const_cast<unsigned char *>(e.compressed.data());
    s.avail_in = uInt(e.compressed.size());
    uLong crc = crc32(0, nullptr, 0);
    int status = Z_OK;
    while (status == Z_OK) {
        s.next_out = out.data();
        s.avail_out = uInt(out.size());
        status = inflate(&s, Z_NO_FLUSH);
        crc = crc32(crc, out.data(), uInt(out.size() - s.avail_out));
    }
    inflateEnd(&s);
    return status == Z_STREAM_END ? std::uint32_t(crc) : ~e.crc;
}

std::uint32_t withIsal(const Entry &e, std::vector<unsigned char> &out, inflate_state &state)
{
    isal_inflate_init(&state);
    state.crc_flag = ISAL_DEFLATE;
    state.next_in = const_cast<unsigned char *>(e.compressed.data());
    state.avail_in = std::uint32_t(e.compressed.size());
    std::uint32_t crc = 0;
    while (state.block_state != ISAL_BLOCK_FINISH) {
        state.next_out = out.data();
        state.avail_out = std::uint32_t(out.size());
        if (isal_inflate(&state) < 0)
            return ~e.crc;
        const std::size_t produced = out.size() - state.avail_out;
        if (produced == 0 && state.avail_in == 0 && state.block_state != ISAL_BLOCK_FINISH)
            return ~e.crc;
        crc = crc32_gzip_refl(crc, out.data(), produced);
    }
    return crc;
}

std::uint32_t withLibdeflate(const Entry &e, std::vector<unsigned char> &whole, libdeflate_decompressor *d)
{
    if (whole.size() < e.size)
        whole.resize(e.size);
    std::size_t produced = 0;
    if (libdeflate_deflate_decompress(d, e.compressed.data(), e.compressed.size(), whole.data(), e.size,
                                      &produced) != LIBDEFLATE_SUCCESS)
        return ~e.crc;
    return std::uint32_t(libdeflate_crc32(0, whole.data(), produced));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: InflateBenchmark <book.zip> [repeats]\n");
        return 2;
    }
    const int repeats = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<Entry> entries;
    if (!readEntries(argv[1], entries) || entries.empty()) {
        std::fprintf(stderr, "InflateBenchmark: no deflated entries read from %s\n", argv[1]);
        return 2;
    }
    std::uint64_t in = 0, out = 0, largest = 0;
    for (const Entry &e : entries) {
        in += e.compressed.size();
        out += e.size;
        largest = std::max(largest, e.size);
    }
    std::printf("entries=%zu compressed_mb=%.1f inflated_mb=%.1f largest_entry_mb=%.1f repeats=%d\n",
                entries.size(), double(in) / 1048576, double(out) / 1048576, double(largest) / 1048576,
                repeats);

    std::vector<unsigned char> block(kBlock);
    std::vector<unsigned char> whole;
    auto state = std::make_unique<inflate_state>();
    libdeflate_decompressor *d = libdeflate_alloc_decompressor();
    const std::vector<std::pair<const char *, Inflater>> libraries = {
        {"zlib", [&](const Entry &e) { return withZlib(e, block); }},
        {"isa-l", [&](const Entry &e) { return withIsal(e, block, *state); }},
        {"libdeflate", [&](const Entry &e) { return withLibdeflate(e, whole, d); }},
    };
    int status = 0;
    for (const auto &[name, inflater] : libraries) {
        std::vector<double> ms;
        bool crcOk = true;
        for (int r = 0; r < repeats; ++r) {
            const auto start = std::chrono::steady_clock::now();
            for (const Entry &e : entries)
                crcOk = inflater(e) == e.crc && crcOk;
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        if (!crcOk) {
            std::printf("%s: CRC mismatch, figures refused\n", name);
            status = 1;
            continue;
        }
        const double m = median(ms);
        std::printf("%s: median_ms=%.0f best_ms=%.0f inflated_mb_per_s=%.0f output_buffer_mb=%.2f\n", name, m,
                    *std::min_element(ms.begin(), ms.end()), double(out) / 1048576 / (m / 1000),
                    double(std::string(name) == "libdeflate" ? largest : kBlock) / 1048576);
    }
    libdeflate_free_decompressor(d);
    return status;
}
