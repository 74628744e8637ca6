// LoadZEKOV: started by the book manager with a book's drive ("X:"), it makes the
// drive's root the current folder and starts the course's AUTORUN.EXE from
// there, as if the course ran from its CD; then it ends.

#include "Launcher.h"

#include <windows.h>

#include <string>

namespace {

// The Windows system folder: a 200-character buffer, 199 of it offered.
std::string PastaSistema()
{
    char buffer[200] = {};
    const UINT n = GetSystemDirectoryA(buffer, 199);
    return std::string(buffer, n < 200 ? n : 0);
}

// One value of an INI file, empty when the file or the key is missing.
std::string LeIni(const char *section, const char *key, const std::string &file)
{
    char buffer[256];
    for (char &c : buffer)
        c = ' ';
    const DWORD n = GetPrivateProfileStringA(section, key, "", buffer, 255, file.c_str());
    return std::string(buffer, n);
}

std::string installedLanguage(const std::string &systemFolder)
{
    return launcher::language(
        LeIni(launcher::kSection, launcher::kKey, systemFolder + "\\" + launcher::kIniFile));
}

// Tests without a display read what would be shown from the file this variable
// names; otherwise the message is a real box.
void mostra(const std::optional<launcher::Notice> &m)
{
    if (!m)
        return;
    char relatorio[MAX_PATH];
    if (GetEnvironmentVariableA("ZEKO_LOADZEKOV_REPORT", relatorio, MAX_PATH) > 0) {
        const std::wstring line = m->title + L"\t" +
                                  (m->icon == launcher::Icon::Information ? L"information" : L"exclamation") +
                                  L"\t" + m->text + L"\n";
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), int(line.size()), utf8.data(), bytes, nullptr, nullptr);
        const HANDLE f = CreateFileA(relatorio, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(f, utf8.data(), DWORD(utf8.size()), &written, nullptr);
            CloseHandle(f);
        }
        return;
    }
    const UINT icon = m->icon == launcher::Icon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    MessageBoxW(nullptr, m->text.c_str(), m->title.c_str(), MB_OK | icon);
}

// An ordinary file of that name (a folder of that name does not count).
bool fileExists(const std::string &caminho)
{
    WIN32_FIND_DATAA mime;
    const HANDLE search = FindFirstFileA(caminho.c_str(), &mime);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return !(mime.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A second launcher started while one runs ends at once, without a word.
    const HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, "LoadZEKOV.Instancia");
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    const std::string arg = launcher::argument(GetCommandLineA());
    if (arg.empty()) {
        mostra(launcher::notice(launcher::Situation::NoArgument, "POR"));
        return 0;
    }
    const std::string systemFolder = PastaSistema();

    if (!launcher::validDrive(arg)) {
        mostra(launcher::notice(launcher::Situation::InvalidDrive, installedLanguage(systemFolder), arg));
        return 1;
    }
    const std::string drive = launcher::driveOf(arg);
    const std::string raiz = drive + "\\";
    if (GetDriveTypeA(raiz.c_str()) <= DRIVE_NO_ROOT_DIR || !SetCurrentDirectoryA(raiz.c_str())) {
        mostra(launcher::notice(launcher::Situation::MissingDrive, installedLanguage(systemFolder), drive));
        return 1;
    }

    const std::string program = drive + "\\" + launcher::kProgram;
    if (fileExists(program)) {
        // Started without arguments, in a normal activated window, not waited for;
        // it inherits the drive's root as its current folder.
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION processo = {};
        std::string line = "\"" + program + "\"";
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &processo)) {
            mostra(
                launcher::notice(launcher::Situation::StartFailed, installedLanguage(systemFolder), drive));
            return 1;
        }
        CloseHandle(processo.hThread);
        CloseHandle(processo.hProcess);
        return 0;
    }

    mostra(launcher::notice(launcher::Situation::MissingProgram, installedLanguage(systemFolder)));
    return 0;
}
