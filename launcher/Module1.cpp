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
std::string LeIni(const char *secao, const char *chave, const std::string &arquivo)
{
    char buffer[256];
    for (char &c : buffer)
        c = ' ';
    const DWORD n = GetPrivateProfileStringA(secao, chave, "", buffer, 255, arquivo.c_str());
    return std::string(buffer, n);
}

std::string idiomaInstalado(const std::string &pastaSistema)
{
    return launcher::idioma(
        LeIni(launcher::kSecao, launcher::kChave, pastaSistema + "\\" + launcher::kArquivoIni));
}

// Tests without a display read what would be shown from the file this variable
// names; otherwise the message is a real box.
void mostra(const std::optional<launcher::Mensagem> &m)
{
    if (!m)
        return;
    char relatorio[MAX_PATH];
    if (GetEnvironmentVariableA("ZEKO_LOADZEKOV_REPORT", relatorio, MAX_PATH) > 0) {
        const std::wstring linha =
            m->titulo + L"\t" + (m->icone == launcher::Icone::Informacao ? L"information" : L"exclamation") +
            L"\t" + m->texto + L"\n";
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, linha.c_str(), int(linha.size()), nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, linha.c_str(), int(linha.size()), utf8.data(), bytes, nullptr,
                            nullptr);
        const HANDLE f = CreateFileA(relatorio, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD escritos = 0;
            WriteFile(f, utf8.data(), DWORD(utf8.size()), &escritos, nullptr);
            CloseHandle(f);
        }
        return;
    }
    const UINT icone = m->icone == launcher::Icone::Informacao ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    MessageBoxW(nullptr, m->texto.c_str(), m->titulo.c_str(), MB_OK | icone);
}

// An ordinary file of that name (a folder of that name does not count).
bool existeArquivo(const std::string &caminho)
{
    WIN32_FIND_DATAA dados;
    const HANDLE busca = FindFirstFileA(caminho.c_str(), &dados);
    if (busca == INVALID_HANDLE_VALUE)
        return false;
    FindClose(busca);
    return !(dados.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A second launcher started while one runs ends at once, without a word.
    const HANDLE instancia = CreateMutexA(nullptr, FALSE, "LoadZEKOV.Instancia");
    if (instancia && GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    const std::string arg = launcher::argumento(GetCommandLineA());
    if (arg.empty()) {
        mostra(launcher::mensagem(launcher::Situacao::SemArgumento, "POR"));
        return 0;
    }
    const std::string pastaSistema = PastaSistema();

    if (!launcher::unidadeValida(arg)) {
        mostra(launcher::mensagem(launcher::Situacao::UnidadeInvalida, idiomaInstalado(pastaSistema), arg));
        return 1;
    }
    const std::string drive = launcher::unidade(arg);
    const std::string raiz = drive + "\\";
    if (GetDriveTypeA(raiz.c_str()) <= DRIVE_NO_ROOT_DIR || !SetCurrentDirectoryA(raiz.c_str())) {
        mostra(
            launcher::mensagem(launcher::Situacao::UnidadeInexistente, idiomaInstalado(pastaSistema), drive));
        return 1;
    }

    const std::string programa = drive + "\\" + launcher::kPrograma;
    if (existeArquivo(programa)) {
        // Started without arguments, in a normal activated window, not waited for;
        // it inherits the drive's root as its current folder.
        STARTUPINFOA inicio = {};
        inicio.cb = sizeof inicio;
        inicio.dwFlags = STARTF_USESHOWWINDOW;
        inicio.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION processo = {};
        std::string linha = "\"" + programa + "\"";
        if (!CreateProcessA(programa.c_str(), linha.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &inicio, &processo)) {
            mostra(
                launcher::mensagem(launcher::Situacao::FalhaAoIniciar, idiomaInstalado(pastaSistema), drive));
            return 1;
        }
        CloseHandle(processo.hThread);
        CloseHandle(processo.hProcess);
        return 0;
    }

    mostra(launcher::mensagem(launcher::Situacao::ProgramaAusente, idiomaInstalado(pastaSistema)));
    return 0;
}
