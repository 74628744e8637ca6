#include "Launcher.h"

#include <cctype>

namespace launcher {

namespace {

std::string_view apara(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string upperCase(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::wstring wide(std::string_view s)
{
    return std::wstring(s.begin(), s.end()); // drive letters and codes: ASCII only
}

} // namespace

std::string argument(std::string_view line)
{
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t fim = line.find('"', 1);
        i = fim == std::string_view::npos ? line.size() : fim + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return upperCase(line.substr(i));
}

bool validDrive(std::string_view arg)
{
    const std::string_view a = apara(arg);
    return a.size() == 2 && std::isalpha(static_cast<unsigned char>(a[0])) && a[1] == ':';
}

std::string driveOf(std::string_view arg)
{
    return upperCase(apara(arg));
}

std::string language(std::string_view iniValue)
{
    const std::string code = upperCase(apara(iniValue));
    return code.empty() ? std::string("POR") : code;
}

std::optional<Notice> notice(Situation situation, std::string_view language, std::string_view detail)
{
    if (situation == Situation::NoArgument) {
        // Said in all three languages: nobody chose one when starting by hand.
        return Notice{
            L"LoadZEKO", Icon::Information,
            L"Este programa s\u00f3 pode ser executado atrav\u00e9s do atalho criado na instala\u00e7\u00e3o."
            L"\r\r"
            L"This program can only be run by using the shortcut created after installation."
            L"\r\r"
            L"Este programa s\u00f3lo puede ser ejecutado a trav\u00e9s del atajo creado en la "
            L"instalaci\u00f3n."};
    }
    const int l = language == "POR" ? 0 : language == "ING" ? 1 : language == "ESP" ? 2 : -1;
    if (l < 0)
        return std::nullopt;
    const std::wstring program = wide(kProgram);
    const std::wstring d = wide(detail);
    std::wstring text;
    switch (situation) {
    case Situation::MissingProgram: {
        const wchar_t *before[] = {L"Arquivo ", L"File ", L"Archivo "};
        const wchar_t *after[] = {L" n\u00e3o encontrado!", L" not found!", L" no encontrado."};
        text = before[l] + program + after[l];
        break;
    }
    case Situation::InvalidDrive: {
        const wchar_t *t[] = {
            L"\"%\" n\u00e3o \u00e9 uma unidade v\u00e1lida. Abra o livro pelo ZEKO Download.",
            L"\"%\" is not a valid drive. Open the book from ZEKO Download.",
            L"\"%\" no es una unidad v\u00e1lida. Abra el libro desde ZEKO Download."};
        text = t[l];
        break;
    }
    case Situation::MissingDrive: {
        const wchar_t *t[] = {L"A unidade % n\u00e3o existe. Abra o livro novamente pelo ZEKO Download.",
                              L"Drive % does not exist. Open the book again from ZEKO Download.",
                              L"La unidad % no existe. Abra el libro de nuevo desde ZEKO Download."};
        text = t[l];
        break;
    }
    case Situation::StartFailed: {
        const wchar_t *t[] = {L"N\u00e3o foi poss\u00edvel iniciar %.", L"% could not be started.",
                              L"No se pudo iniciar %."};
        text = t[l];
        break;
    }
    case Situation::NoArgument:
        break;
    }
    if (const std::size_t p = text.find(L'%'); p != std::wstring::npos)
        text.replace(p, 1, situation == Situation::StartFailed ? d + L"\\" + program : d);
    return Notice{L"ZEKO", Icon::Exclamation, text};
}

} // namespace launcher
