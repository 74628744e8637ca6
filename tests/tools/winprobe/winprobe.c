/*
 * winprobe: asks Wine's own Win32 functions the questions our Linux code answers
 * itself, so tests can compare both.
 *
 *   wine winprobe.exe <commands file> <output file>
 *
 * One command per line, fields separated by tabs. Strings travel hex-encoded so
 * blanks, tabs, quotes and bytes >= 0x80 arrive intact; an empty field is the
 * empty string and a lone "-" is a NULL pointer. For every command line exactly
 * one result line is written, in order ("\n" endings):
 *
 *   drivetype <root>                       -> type (decimal)
 *   attrs <path>                           -> attributes (8 hex digits)
 *   getstr <sec> <key> <def> <size> <file> -> ret \t text up to NUL \t whole buffer
 *   writestr <sec> <key> <value> <file>    -> BOOL \t last error
 *   sysdir <size>                          -> ret \t text up to NUL
 *   username <size>                        -> BOOL \t size after call \t last error \t name
 *   curdir                                 -> current directory
 *
 * Output strings are lowercase hex. Buffers handed to getstr and sysdir start
 * filled with 0xAA so that what the function left untouched shows; the
 * username buffer starts zeroed. A malformed or unknown command gives "ERR".
 *
 * Built without the C runtime: it imports only kernel32 and advapi32, so nothing
 * but the functions being asked runs inside the process.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#define MAX_FIELDS 8

/* Without a C runtime, gcc must not turn loops into calls to strlen or memset. */
#pragma GCC optimize("no-tree-loop-distribute-patterns")

/* gcc may still emit these two for block copies and initialisers. */
void *memset(void *dst, int c, size_t n)
{
    unsigned char *d = dst;
    while (n--)
        *d++ = (unsigned char)c;
    return dst;
}

void *memcpy(void *dst, const void *src, size_t n)
{
    unsigned char *d = dst;
    const unsigned char *s = src;
    while (n--)
        *d++ = *s++;
    return dst;
}

static void *xalloc(DWORD n)
{
    void *p = HeapAlloc(GetProcessHeap(), 0, n ? n : 1);
    if (!p)
        ExitProcess(4);
    return p;
}

static void xfree(void *p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

/* ---- output line ---- */

typedef struct {
    char *data;
    DWORD len;
    DWORD cap;
} Line;

static void put(Line *l, const void *src, DWORD n)
{
    if (l->len + n > l->cap) {
        DWORD cap = l->cap ? l->cap : 256;
        while (cap < l->len + n)
            cap *= 2;
        char *grown = xalloc(cap);
        memcpy(grown, l->data, l->len);
        xfree(l->data);
        l->data = grown;
        l->cap = cap;
    }
    memcpy(l->data + l->len, src, n);
    l->len += n;
}

static void putc1(Line *l, char c)
{
    put(l, &c, 1);
}

static void putStr(Line *l, const char *s)
{
    DWORD n = 0;
    while (s[n])
        n++;
    put(l, s, n);
}

static void putDec(Line *l, DWORD v)
{
    char tmp[10];
    int n = 0;
    do {
        tmp[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    while (n)
        putc1(l, tmp[--n]);
}

static void putHex8(Line *l, DWORD v)
{
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4)
        putc1(l, digits[(v >> shift) & 0xF]);
}

static void putHexBytes(Line *l, const unsigned char *p, DWORD n)
{
    static const char digits[] = "0123456789abcdef";
    for (DWORD i = 0; i < n; i++) {
        putc1(l, digits[p[i] >> 4]);
        putc1(l, digits[p[i] & 0xF]);
    }
}

/* Bytes up to the first NUL, but never past the buffer's end. */
static void putHexUntilNul(Line *l, const char *p, DWORD size)
{
    DWORD n = 0;
    while (n < size && p[n])
        n++;
    putHexBytes(l, (const unsigned char *)p, n);
}

/* ---- input fields ---- */

typedef struct {
    const char *p;
    DWORD len;
} Field;

static int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Decodes a string field into a fresh NUL-terminated buffer; "-" gives NULL.
   Returns FALSE when the field is not valid hex. */
static BOOL decodeString(Field f, char **out)
{
    *out = NULL;
    if (f.len == 1 && f.p[0] == '-')
        return TRUE;
    if (f.len % 2)
        return FALSE;
    char *s = xalloc(f.len / 2 + 1);
    for (DWORD i = 0; i < f.len; i += 2) {
        int hi = hexValue(f.p[i]);
        int lo = hexValue(f.p[i + 1]);
        if (hi < 0 || lo < 0) {
            xfree(s);
            return FALSE;
        }
        s[i / 2] = (char)(hi << 4 | lo);
    }
    s[f.len / 2] = 0;
    *out = s;
    return TRUE;
}

static BOOL decodeNumber(Field f, DWORD *out)
{
    DWORD v = 0;
    if (f.len == 0 || f.len > 9)
        return FALSE;
    for (DWORD i = 0; i < f.len; i++) {
        if (f.p[i] < '0' || f.p[i] > '9')
            return FALSE;
        v = v * 10 + (DWORD)(f.p[i] - '0');
    }
    *out = v;
    return TRUE;
}

static BOOL fieldIs(Field f, const char *word)
{
    DWORD i = 0;
    for (; i < f.len; i++)
        if (!word[i] || word[i] != f.p[i])
            return FALSE;
    return word[i] == 0;
}

/* ---- commands; each returns FALSE on malformed arguments ---- */

static BOOL cmdDriveType(const Field *a, Line *out)
{
    char *root;
    if (!decodeString(a[0], &root))
        return FALSE;
    putDec(out, GetDriveTypeA(root));
    xfree(root);
    return TRUE;
}

static BOOL cmdAttrs(const Field *a, Line *out)
{
    char *path;
    if (!decodeString(a[0], &path))
        return FALSE;
    putHex8(out, GetFileAttributesA(path));
    xfree(path);
    return TRUE;
}

static BOOL cmdGetStr(const Field *a, Line *out)
{
    char *section = NULL, *key = NULL, *def = NULL, *file = NULL;
    DWORD size;
    BOOL ok = decodeString(a[0], &section) && decodeString(a[1], &key) && decodeString(a[2], &def) &&
              decodeNumber(a[3], &size) && decodeString(a[4], &file);
    if (ok) {
        char *buf = xalloc(size);
        memset(buf, 0xAA, size);
        DWORD ret = GetPrivateProfileStringA(section, key, def, buf, size, file);
        putDec(out, ret);
        putc1(out, '\t');
        putHexUntilNul(out, buf, size);
        putc1(out, '\t');
        putHexBytes(out, (const unsigned char *)buf, size);
        xfree(buf);
    }
    xfree(section);
    xfree(key);
    xfree(def);
    xfree(file);
    return ok;
}

static BOOL cmdWriteStr(const Field *a, Line *out)
{
    char *section = NULL, *key = NULL, *value = NULL, *file = NULL;
    BOOL ok = decodeString(a[0], &section) && decodeString(a[1], &key) && decodeString(a[2], &value) &&
              decodeString(a[3], &file);
    if (ok) {
        SetLastError(0);
        BOOL ret = WritePrivateProfileStringA(section, key, value, file);
        DWORD err = GetLastError();
        putDec(out, ret ? 1 : 0);
        putc1(out, '\t');
        putDec(out, err);
    }
    xfree(section);
    xfree(key);
    xfree(value);
    xfree(file);
    return ok;
}

static BOOL cmdSysDir(const Field *a, Line *out)
{
    DWORD size;
    if (!decodeNumber(a[0], &size))
        return FALSE;
    char *buf = xalloc(size);
    memset(buf, 0xAA, size);
    UINT ret = GetSystemDirectoryA(buf, size);
    putDec(out, ret);
    putc1(out, '\t');
    putHexUntilNul(out, buf, size);
    xfree(buf);
    return TRUE;
}

static BOOL cmdUserName(const Field *a, Line *out)
{
    DWORD size;
    if (!decodeNumber(a[0], &size))
        return FALSE;
    DWORD bufSize = size;
    char *buf = xalloc(bufSize);
    memset(buf, 0, bufSize);
    SetLastError(0);
    BOOL ret = GetUserNameA(buf, &size);
    DWORD err = GetLastError();
    putDec(out, ret ? 1 : 0);
    putc1(out, '\t');
    putDec(out, size);
    putc1(out, '\t');
    putDec(out, err);
    putc1(out, '\t');
    putHexUntilNul(out, buf, bufSize);
    xfree(buf);
    return TRUE;
}

static BOOL cmdCurDir(Line *out)
{
    DWORD need = GetCurrentDirectoryA(0, NULL);
    char *buf = xalloc(need + 1);
    memset(buf, 0, need + 1);
    GetCurrentDirectoryA(need + 1, buf);
    putHexUntilNul(out, buf, need + 1);
    xfree(buf);
    return TRUE;
}

static void runCommand(const char *text, DWORD len, Line *out)
{
    Field f[MAX_FIELDS];
    DWORD count = 0;
    DWORD start = 0;
    for (DWORD i = 0; i <= len; i++) {
        if (i == len || text[i] == '\t') {
            if (count == MAX_FIELDS) {
                count++; /* too many: no command takes this many */
                break;
            }
            f[count].p = text + start;
            f[count].len = i - start;
            count++;
            start = i + 1;
        }
    }

    BOOL ok = FALSE;
    DWORD args = count - 1;
    if (fieldIs(f[0], "drivetype") && args == 1)
        ok = cmdDriveType(f + 1, out);
    else if (fieldIs(f[0], "attrs") && args == 1)
        ok = cmdAttrs(f + 1, out);
    else if (fieldIs(f[0], "getstr") && args == 5)
        ok = cmdGetStr(f + 1, out);
    else if (fieldIs(f[0], "writestr") && args == 4)
        ok = cmdWriteStr(f + 1, out);
    else if (fieldIs(f[0], "sysdir") && args == 1)
        ok = cmdSysDir(f + 1, out);
    else if (fieldIs(f[0], "username") && args == 1)
        ok = cmdUserName(f + 1, out);
    else if (fieldIs(f[0], "curdir") && args == 0)
        ok = cmdCurDir(out);

    if (!ok) {
        out->len = 0;
        putStr(out, "ERR");
    }
}

/* ---- command line, with the usual Windows quoting rules ---- */

static const char *skipBlanks(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

/* Copies the next argument into a fresh buffer; returns where parsing stops, or NULL at the end. */
static const char *nextArg(const char *p, char **arg)
{
    p = skipBlanks(p);
    if (!*p)
        return NULL;
    DWORD n = 0;
    while (p[n])
        n++;
    char *dst = xalloc(n + 1);
    DWORD len = 0;
    BOOL quoted = FALSE;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
        if (*p == '\\') {
            DWORD slashes = 0;
            while (*p == '\\') {
                slashes++;
                p++;
            }
            if (*p == '"') {
                for (DWORD i = 0; i < slashes / 2; i++)
                    dst[len++] = '\\';
                if (slashes % 2) {
                    dst[len++] = '"';
                    p++;
                }
            } else {
                for (DWORD i = 0; i < slashes; i++)
                    dst[len++] = '\\';
            }
        } else if (*p == '"') {
            quoted = !quoted;
            p++;
        } else {
            dst[len++] = *p++;
        }
    }
    dst[len] = 0;
    *arg = dst;
    return p;
}

static const char *skipProgramName(const char *p)
{
    p = skipBlanks(p);
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p)
            p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    return p;
}

static BOOL readWholeFile(const char *path, char **data, DWORD *size)
{
    HANDLE h =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD total = GetFileSize(h, NULL);
    BOOL ok = total != INVALID_FILE_SIZE;
    char *buf = ok ? xalloc(total) : NULL;
    DWORD done = 0;
    while (ok && done < total) {
        DWORD got = 0;
        ok = ReadFile(h, buf + done, total - done, &got, NULL) && got > 0;
        done += got;
    }
    CloseHandle(h);
    if (!ok) {
        xfree(buf);
        return FALSE;
    }
    *data = buf;
    *size = total;
    return TRUE;
}

static BOOL writeAll(HANDLE h, const char *p, DWORD n)
{
    while (n) {
        DWORD written = 0;
        if (!WriteFile(h, p, n, &written, NULL) || written == 0)
            return FALSE;
        p += written;
        n -= written;
    }
    return TRUE;
}

static void writeConsole(const char *msg)
{
    DWORD n = 0;
    while (msg[n])
        n++;
    writeAll(GetStdHandle(STD_ERROR_HANDLE), msg, n);
}

/* Exit codes: 0 done, 1 usage, 2 commands file unreadable, 3 output not writable, 4 out of memory. */
__attribute__((force_align_arg_pointer)) void __cdecl probeEntry(void)
{
    char *commandsPath = NULL, *outputPath = NULL;
    const char *p = skipProgramName(GetCommandLineA());
    p = nextArg(p, &commandsPath);
    if (p)
        p = nextArg(p, &outputPath);
    if (!p) {
        writeConsole("usage: winprobe <commands file> <output file>\n");
        ExitProcess(1);
    }

    char *input;
    DWORD inputSize;
    if (!readWholeFile(commandsPath, &input, &inputSize)) {
        writeConsole("winprobe: cannot read the commands file\n");
        ExitProcess(2);
    }

    HANDLE outFile =
        CreateFileA(outputPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (outFile == INVALID_HANDLE_VALUE) {
        writeConsole("winprobe: cannot create the output file\n");
        ExitProcess(3);
    }

    /* Each result is written as soon as it is known, so a crash mid-batch still
       shows which command caused it. */
    Line line = {0};
    DWORD start = 0;
    while (start < inputSize) {
        DWORD end = start;
        while (end < inputSize && input[end] != '\n')
            end++;
        DWORD len = end - start;
        if (len && input[start + len - 1] == '\r')
            len--;
        line.len = 0;
        runCommand(input + start, len, &line);
        putc1(&line, '\n');
        if (!writeAll(outFile, line.data, line.len)) {
            writeConsole("winprobe: cannot write the output file\n");
            ExitProcess(3);
        }
        start = end + 1;
    }
    CloseHandle(outFile);
    ExitProcess(0);
}
