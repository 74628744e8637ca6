// Packs the books the install benchmark installs:
//
//   zeko_make_bench_book <output.zip> [300mb | 1gb | video]
//
// 300mb (the default): 3,000 files, 300 MiB expanded, deflated, in nested folders
// under accented names, with Autorun.exe and Idioma.kvt at the top as in every
// book. Most bytes compress as a course's texts and pictures do; a share of audio-
// and video-like files hardly compress, so the archive costs what a real book
// costs to inflate. 1gb: the same mix, 10,000 files and 1 GiB. video: the book's
// three small files and one 200 MiB video-like entry, which hardly deflates.
// Every byte comes from a fixed seed: the same archive on every run.

#include "data/samplebook/BookZip.h"

#include <zip.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// What a book holds: files spread over the course's kinds, or one large video.
struct Shape {
    int files;
    std::uint64_t totalBytes;
    bool oneVideo;
};

// splitmix64: small, fast, and the same sequence with every compiler and library.
class Rng {
  public:
    explicit Rng(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t m_state;
};

enum class Kind { Text, Picture, Media, Program, Plain };

struct Entry {
    std::string name; // UTF-8, '/' between folders; a trailing '/' makes a folder
    Kind kind = Kind::Plain;
    std::uint64_t size = 0;
    std::uint64_t seed = 0;
    std::string plain; // Kind::Plain only
};

// Words of Portuguese-looking syllables: text that deflates about as much as the
// lessons' texts and pages do.
const std::vector<std::string> &vocabulary()
{
    static const std::vector<std::string> words = [] {
        static const char *const syllables[] = {
            "a",  "ba", "be", "ca", "ção", "da", "de",  "do", "é",  "fa", "ga",  "ja",  "la", "lha",
            "lo", "ma", "me", "mo", "na",  "ne", "nho", "o",  "pa", "pe", "qua", "que", "ra", "re",
            "ri", "sa", "se", "so", "ta",  "te", "ti",  "to", "tu", "va", "ve",  "vi",  "xa", "zer"};
        constexpr std::uint64_t count = sizeof syllables / sizeof *syllables;
        Rng rng(7);
        std::vector<std::string> out;
        for (int i = 0; i < 600; ++i) {
            std::string w;
            for (std::uint64_t n = 1 + rng.below(4); n > 0; --n)
                w += syllables[rng.below(count)];
            out.push_back(std::move(w));
        }
        return out;
    }();
    return words;
}

void fillText(std::string &out, std::uint64_t size, Rng &rng)
{
    const std::vector<std::string> &words = vocabulary();
    out.reserve(size + 64);
    bool capital = true;
    while (out.size() < size) {
        // Common words far more often than rare ones, as in any text.
        const double u = rng.unit();
        std::string w = words[std::size_t(u * u * u * double(words.size()))];
        if (capital && w[0] >= 'a' && w[0] <= 'z')
            w[0] = char(w[0] - 'a' + 'A');
        out += w;
        capital = false;
        switch (rng.below(16)) {
        case 0:
            out += ". ";
            capital = true;
            break;
        case 1:
            out += ", ";
            break;
        case 2:
            out += ".\r\n";
            capital = true;
            break;
        default:
            out += ' ';
        }
    }
    out.resize(size);
}

// Bitmaps: half of them drawings of a few flat colours, many rows the same as the
// one above, which deflate to a fraction; half photographs, gradients under a
// little noise, which deflate to about three quarters.
void fillPicture(std::string &out, std::uint64_t size, Rng &rng)
{
    out.reserve(size + 8);
    out.assign("BM", 2);
    const std::uint64_t width = 3 * (160 + rng.below(480));
    if (rng.below(2) == 0) {
        std::string row(width, '\0');
        bool first = true;
        while (out.size() < size) {
            // Redrawn whole, or only a stretch of it changed.
            const bool whole = first || rng.below(3) == 0;
            std::uint64_t x = whole ? 0 : rng.below(width);
            const std::uint64_t end = whole ? width : std::min(width, x + 8 + rng.below(64));
            while (x < end) {
                const std::uint64_t run = std::min(end - x, 4 + rng.below(120));
                row.replace(x, run, run, char(rng.below(16) * 16));
                x += run;
            }
            first = false;
            out += row;
        }
    } else {
        const int dx = int(rng.below(5)), dy = int(rng.below(3)) + 1;
        for (std::uint64_t i = 2; i < size; i += 8) {
            const std::uint64_t noise = rng.next();
            const std::uint64_t x = i % width, y = i / width;
            for (int b = 0; b < 8 && i + std::uint64_t(b) < size; ++b) {
                const auto base = int((x + std::uint64_t(b)) * std::uint64_t(dx) / 3 + y * std::uint64_t(dy));
                out += char((base + int((noise >> (8 * b)) & 7)) & 0xFF);
            }
        }
    }
    out.resize(size);
}

// Audio- or video-like frames: a short header, then data that hardly deflates.
void fillMedia(std::string &out, std::uint64_t size, Rng &rng)
{
    out.reserve(size + 8);
    std::uint32_t frame = 0;
    while (out.size() < size) {
        char header[16] = {'F', 'R', 'M', 'E'};
        std::memcpy(header + 4, &frame, sizeof frame);
        ++frame;
        out.append(header, sizeof header);
        // Some frames end in a run of silence.
        const std::uint64_t payload = 4096 - sizeof header;
        const std::uint64_t quiet = rng.below(8) == 0 ? rng.below(payload / 2) : 0;
        for (std::uint64_t n = 0; n < payload - quiet; n += 8) {
            const std::uint64_t r = rng.next();
            out.append(reinterpret_cast<const char *>(&r), std::min<std::uint64_t>(8, payload - quiet - n));
        }
        out.append(quiet, '\0');
    }
    out.resize(size);
}

// A program: code-like stretches between text and tables.
void fillProgram(std::string &out, std::uint64_t size, Rng &rng)
{
    out.assign("MZ\x90\0\x03\0\0\0", 8);
    std::string part;
    while (out.size() < size) {
        part.clear();
        const std::uint64_t n = 4096 + rng.below(65536);
        switch (rng.below(3)) {
        case 0:
            fillText(part, n, rng);
            break;
        case 1:
            fillPicture(part, n, rng);
            break;
        default:
            fillMedia(part, n / 4, rng);
            break;
        }
        out += part;
    }
    out.resize(size);
}

// Made when libzip opens the entry, dropped when it closes it, so no more than
// one file's bytes are held at a time.
struct Source {
    const Entry *entry;
    std::string data;
    std::uint64_t offset = 0;
    zip_error_t error;
};

zip_int64_t produce(void *userdata, void *data, zip_uint64_t len, zip_source_cmd_t cmd)
{
    auto *s = static_cast<Source *>(userdata);
    switch (cmd) {
    case ZIP_SOURCE_OPEN: {
        Rng rng(s->entry->seed);
        s->data.clear();
        s->offset = 0;
        switch (s->entry->kind) {
        case Kind::Text:
            fillText(s->data, s->entry->size, rng);
            break;
        case Kind::Picture:
            fillPicture(s->data, s->entry->size, rng);
            break;
        case Kind::Media:
            fillMedia(s->data, s->entry->size, rng);
            break;
        case Kind::Program:
            fillProgram(s->data, s->entry->size, rng);
            break;
        case Kind::Plain:
            s->data = s->entry->plain;
            break;
        }
        return 0;
    }
    case ZIP_SOURCE_READ: {
        const std::uint64_t n = std::min<std::uint64_t>(len, s->data.size() - s->offset);
        std::memcpy(data, s->data.data() + s->offset, n);
        s->offset += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        s->data = std::string();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *st = static_cast<zip_stat_t *>(data);
        zip_stat_init(st);
        st->size = s->entry->kind == Kind::Plain ? s->entry->plain.size() : s->entry->size;
        st->mtime = bookzip::kFixedTime;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, len);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&s->error);
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

std::string number(const char *format, std::uint64_t n)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned long long>(n));
    return buffer;
}

// Log-uniform in [lo, hi]: many small files, a few large ones, as on a CD.
std::uint64_t spread(Rng &rng, double lo, double hi)
{
    return std::uint64_t(lo * std::exp(rng.unit() * std::log(hi / lo)));
}

std::vector<Entry> layout(const Shape &shape)
{
    Rng rng(20240101);
    std::vector<Entry> files;
    files.push_back({"Autorun.exe", Kind::Program, 1536 * 1024, rng.next(), {}});
    files.push_back({"Idioma.kvt", Kind::Plain, 0, 0, "POR"});
    files.push_back({"Livro.txt", Kind::Plain, 0, 0, "Livro de referência\r\n"});
    if (shape.oneVideo) {
        const std::uint64_t rest = files[0].size + 3 + files[2].plain.size();
        files.push_back({"Vídeo/Curso completo.avi", Kind::Media, shape.totalBytes - rest, rng.next(), {}});
        files.push_back({"Vídeo/", Kind::Plain, 0, 0, {}});
        std::sort(files.begin(), files.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
        return files;
    }
    // Of the rest, by count: 2% media files, 18% pictures, and texts; by bytes
    // roughly a third each before scaling.
    static const char *const media[] = {"Áudio/Faixa %03llu.wav", "Vídeo/Cena %03llu.avi"};
    static const char *const pictures[] = {"Imagens/Figura %03llu.bmp", "Exercícios/Quadro %03llu.bmp"};
    static const char *const texts[] = {"Texto %03llu.txt", "Página %03llu.htm", "Diálogo %03llu.txt"};
    const int mediaFiles = shape.files / 50;
    const int pictureFiles = shape.files / 5;
    for (int i = 0; i < shape.files - 3; ++i) {
        const std::string unit = number("Unidade %02llu/", rng.below(12) + 1);
        Entry e;
        e.seed = rng.next();
        if (i < mediaFiles) {
            e.kind = Kind::Media;
            e.size = spread(rng, 512e3, 4e6);
            e.name = unit + number(media[rng.below(2)], std::uint64_t(i));
        } else if (i < pictureFiles) {
            e.kind = Kind::Picture;
            e.size = spread(rng, 30e3, 800e3);
            e.name = unit + number(pictures[rng.below(2)], std::uint64_t(i));
        } else {
            e.kind = Kind::Text;
            e.size = spread(rng, 4e3, 120e3);
            e.name = unit + number("Lições/Lição %02llu/", rng.below(10) + 1) +
                     number(texts[rng.below(3)], std::uint64_t(i));
        }
        files.push_back(std::move(e));
    }

    // Scaled so that everything adds up to the intended size exactly; the
    // largest file takes what rounding leaves over.
    std::uint64_t sum = 0, fixed = 0;
    for (const Entry &e : files) {
        if (e.kind == Kind::Plain)
            fixed += e.plain.size();
        else
            sum += e.size;
    }
    const double scale = double(shape.totalBytes - fixed) / double(sum);
    std::uint64_t total = fixed;
    Entry *largest = nullptr;
    for (Entry &e : files) {
        if (e.kind == Kind::Plain)
            continue;
        e.size = std::max<std::uint64_t>(1, std::uint64_t(std::llround(double(e.size) * scale)));
        total += e.size;
        if (!largest || e.size > largest->size)
            largest = &e;
    }
    largest->size = largest->size + shape.totalBytes - total;

    // Folder entries for every level, then all in path order as archivers write them.
    std::set<std::string> folders;
    for (const Entry &e : files)
        for (std::size_t slash = e.name.find('/'); slash != std::string::npos;
             slash = e.name.find('/', slash + 1))
            folders.insert(e.name.substr(0, slash + 1));
    for (const std::string &f : folders)
        files.push_back({f, Kind::Plain, 0, 0, {}});
    std::sort(files.begin(), files.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return files;
}

bool add(zip_t *zip, const Entry &e)
{
    zip_source_t *source = nullptr;
    if (!e.name.ends_with('/')) {
        auto *s = new Source{&e, {}, 0, {}};
        zip_error_init(&s->error);
        source = zip_source_function(zip, produce, s);
        if (!source) {
            zip_error_fini(&s->error);
            delete s;
            return false;
        }
    }
    return bookzip::add(zip, e.name, source, 6);
}

} // namespace

int main(int argc, char **argv)
{
    Shape shape{3000, std::uint64_t(300) << 20, false};
    const std::string which = argc == 3 ? argv[2] : "300mb";
    if (which == "1gb")
        shape = {10000, std::uint64_t(1) << 30, false};
    else if (which == "video")
        shape = {4, std::uint64_t(200) << 20, true};
    if ((argc != 2 && argc != 3) || (which != "300mb" && which != "1gb" && which != "video")) {
        std::fprintf(stderr, "usage: zeko_make_bench_book <output.zip> [300mb | 1gb | video]\n");
        return 2;
    }
    // ZIP times are local times; pinned to UTC the bytes do not depend on the machine.
    setenv("TZ", "UTC0", 1);
    tzset();

    const std::filesystem::path output(argv[1]);
    std::error_code ec;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), ec);

    int code = 0;
    // libzip writes a temporary file and renames it on close: no half archive stays.
    zip_t *zip = zip_open(argv[1], ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::fprintf(stderr, "zeko_make_bench_book: cannot create %s: %s\n", argv[1],
                     zip_error_strerror(&error));
        zip_error_fini(&error);
        return 1;
    }
    // The sources point into these entries until the archive is closed.
    const std::vector<Entry> entries = layout(shape);
    for (const Entry &e : entries) {
        if (!add(zip, e)) {
            std::fprintf(stderr, "zeko_make_bench_book: cannot add %s: %s\n", e.name.c_str(),
                         zip_strerror(zip));
            zip_discard(zip);
            return 1;
        }
    }
    if (zip_close(zip) != 0) {
        std::fprintf(stderr, "zeko_make_bench_book: cannot write %s: %s\n", argv[1], zip_strerror(zip));
        zip_discard(zip);
        return 1;
    }
    return 0;
}
