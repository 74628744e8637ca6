/* Stands in for a book's start program in tests. It appends one record to the
   file named by the environment variable ZEKO_STUB_LOG (a Windows path):
   its current folder, the arguments it was given and the time, then ends. */
#include <windows.h>

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    char log[MAX_PATH], folder[MAX_PATH], stamp[64];
    SYSTEMTIME now;
    HANDLE file;
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;

    if (!GetEnvironmentVariableA("ZEKO_STUB_LOG", log, sizeof log))
        return 2;
    file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
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
