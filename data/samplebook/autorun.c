/* Stands in for a book's start program. With the environment variable
   ZEKO_STUB_LOG set (a Windows path), as the tests run it, it appends one record
   to that file: its current folder, the arguments it was given and the time, then
   ends. Without it, as the sample book runs it, it shows a window naming the book
   and the folder it started in, so a newcomer sees the course start. */
#include <windows.h>

#define NAME_SIZE 1024
#define FOLDER_SIZE 1024

static void put(HANDLE file, const char *text)
{
    DWORD written;
    WriteFile(file, text, lstrlenA(text), &written, NULL);
}

/* The command line without the program's own name, as the program was given it. */
static const char *arguments(const char *line)
{
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

static int writeLog(const char *log)
{
    char folder[MAX_PATH], stamp[64];
    SYSTEMTIME now;
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    GetCurrentDirectoryA(sizeof folder, folder);
    GetSystemTime(&now);
    wsprintfA(stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond, now.wMilliseconds);
    put(file, "cwd=");
    put(file, folder);
    put(file, "\r\nargs=");
    put(file, arguments(GetCommandLineA()));
    put(file, "\r\ntime=");
    put(file, stamp);
    put(file, "\r\n");
    CloseHandle(file);
    return 0;
}

static int isBlank(WCHAR c)
{
    return c == L' ' || c == L'\t';
}

/* Copies text[0..length) without the blanks around it; false when nothing is left. */
static BOOL copyTrimmed(WCHAR *to, const WCHAR *text, int length)
{
    while (length > 0 && isBlank(*text)) {
        ++text;
        --length;
    }
    while (length > 0 && isBlank(text[length - 1]))
        --length;
    if (length <= 0)
        return FALSE;
    lstrcpynW(to, text, length + 1);
    return TRUE;
}

/* The first line of Livro.txt in the current folder. The file may be in UTF-8
   (with or without a BOM) or in the ANSI code page: text that is valid UTF-8 is
   read as such, anything else as ANSI. */
static BOOL nameFromLivroTxt(WCHAR *name)
{
    char bytes[NAME_SIZE];
    WCHAR wide[NAME_SIZE];
    DWORD got = 0;
    int start = 0, end = 0, length;
    HANDLE file = CreateFileW(L"Livro.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    /* One byte short of the wide buffer, so any line fits it in either encoding. */
    if (!ReadFile(file, bytes, sizeof bytes - 1, &got, NULL))
        got = 0;
    CloseHandle(file);
    if (got >= 3 && (BYTE)bytes[0] == 0xEF && (BYTE)bytes[1] == 0xBB && (BYTE)bytes[2] == 0xBF)
        start = 3;
    end = start;
    while (end < (int)got && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    if (end == start)
        return FALSE;
    length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes + start, end - start, wide, NAME_SIZE - 1);
    if (length <= 0)
        length = MultiByteToWideChar(CP_ACP, 0, bytes + start, end - start, wide, NAME_SIZE - 1);
    return length > 0 && copyTrimmed(name, wide, length);
}

/* The folder's own name; a drive's root ("X:\") has none. */
static BOOL nameFromFolder(WCHAR *name, const WCHAR *folder)
{
    int end = lstrlenW(folder), start;
    while (end > 0 && (folder[end - 1] == L'\\' || folder[end - 1] == L'/'))
        --end;
    start = end;
    while (start > 0 && folder[start - 1] != L'\\' && folder[start - 1] != L'/')
        --start;
    if (start == 0 || folder[end - 1] == L':')
        return FALSE;
    return copyTrimmed(name, folder + start, end - start);
}

static int showBook(void)
{
    static WCHAR folder[FOLDER_SIZE], name[NAME_SIZE], text[NAME_SIZE + FOLDER_SIZE + 32];
    DWORD length = GetCurrentDirectoryW(FOLDER_SIZE, folder);
    if (length == 0 || length >= FOLDER_SIZE)
        folder[0] = 0;
    if (!nameFromLivroTxt(name) && !nameFromFolder(name, folder))
        lstrcpyW(name, L"ZEKO");
    lstrcpyW(text, name);
    lstrcatW(text, L"\r\n\r\nPasta atual: ");
    lstrcatW(text, folder);
    MessageBoxW(NULL, text, name, MB_OK | MB_ICONINFORMATION);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    char log[MAX_PATH];
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;

    SetLastError(0);
    if (GetEnvironmentVariableA("ZEKO_STUB_LOG", log, sizeof log))
        return writeLog(log);
    /* Set but empty ends as it always did; only a missing variable means a person started it. */
    if (GetLastError() != ERROR_ENVVAR_NOT_FOUND)
        return 2;
    return showBook();
}
