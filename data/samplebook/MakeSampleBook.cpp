// Packs the sample book a newcomer installs first:
//
//   zeko_samplebook <AUTORUN.EXE> <output.zip>
//
// The book holds what the manager and the course look for at the root of a book
// (Autorun.exe, Idioma.kvt, Livro.txt) and a few lessons under accented folder
// and file names, so the first install also shows that such names come through.
// The archive is byte for byte the same on every build.

#include "BookZip.h"

#include <zip.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name; // UTF-8, '/' between folders; a trailing '/' makes a folder
    std::string data;
};

std::vector<Entry> contents(std::string autorun)
{
    return {
        {"Autorun.exe", std::move(autorun)},
        {"Idioma.kvt", "POR"},
        {"Livro.txt", "Livro de Exemplo\r\n"},
        {"Lições/", {}},
        {"Lições/Lição 1.txt", "Lição 1 — Saudações\r\n\r\n"
                               "Olá! Bom dia. Boa tarde. Boa noite.\r\n"
                               "Como você está? Estou bem, obrigado.\r\n"},
        {"Lições/Lição 2.txt", "Lição 2 — Números\r\n\r\n"
                               "Um, dois, três, quatro, cinco.\r\n"
                               "Seis, sete, oito, nove, dez.\r\n"},
        {"Áudio/", {}},
        {"Áudio/Ação.txt", "Ação — ouça e repita\r\n\r\n"
                           "Eu falo português. Você fala português?\r\n"
                           "Ele lê o livro. Nós escutamos a canção.\r\n"},
    };
}

bool readFile(const char *path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool add(zip_t *zip, const Entry &e)
{
    zip_source_t *source =
        e.name.ends_with('/') ? nullptr : zip_source_buffer(zip, e.data.data(), e.data.size(), 0);
    return bookzip::add(zip, e.name, source, 9);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zeko_samplebook <AUTORUN.EXE> <output.zip>\n");
        return 2;
    }
    // ZIP times are local times; pinned to UTC, the bytes do not depend on where
    // the build runs.
    setenv("TZ", "UTC0", 1);
    tzset();

    std::string autorun;
    if (!readFile(argv[1], autorun)) {
        std::fprintf(stderr, "zeko_samplebook: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::filesystem::path output(argv[2]);
    std::error_code ec;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), ec);

    int code = 0;
    // libzip writes a temporary file and renames it on close, so a failed run
    // never leaves half an archive behind.
    zip_t *zip = zip_open(argv[2], ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::fprintf(stderr, "zeko_samplebook: cannot create %s: %s\n", argv[2], zip_error_strerror(&error));
        zip_error_fini(&error);
        return 1;
    }
    // The sources read from these buffers only when the archive is closed.
    const std::vector<Entry> entries = contents(std::move(autorun));
    for (const Entry &e : entries) {
        if (!add(zip, e)) {
            std::fprintf(stderr, "zeko_samplebook: cannot add %s: %s\n", e.name.c_str(), zip_strerror(zip));
            zip_discard(zip);
            return 1;
        }
    }
    if (zip_close(zip) != 0) {
        std::fprintf(stderr, "zeko_samplebook: cannot write %s: %s\n", argv[2], zip_strerror(zip));
        zip_discard(zip);
        return 1;
    }
    return 0;
}
