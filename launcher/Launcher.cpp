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

std::string maiusculas(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::wstring largo(std::string_view s)
{
    return std::wstring(s.begin(), s.end()); // drive letters and codes: ASCII only
}

} // namespace

std::string argumento(std::string_view linha)
{
    std::size_t i = 0;
    if (!linha.empty() && linha[0] == '"') {
        const std::size_t fim = linha.find('"', 1);
        i = fim == std::string_view::npos ? linha.size() : fim + 1;
    } else {
        while (i < linha.size() && linha[i] != ' ' && linha[i] != '\t')
            ++i;
    }
    while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t'))
        ++i;
    return maiusculas(linha.substr(i));
}

bool unidadeValida(std::string_view arg)
{
    const std::string_view a = apara(arg);
    return a.size() == 2 && std::isalpha(static_cast<unsigned char>(a[0])) && a[1] == ':';
}

std::string unidade(std::string_view arg)
{
    return maiusculas(apara(arg));
}

std::string idioma(std::string_view valorIni)
{
    const std::string codigo = maiusculas(apara(valorIni));
    return codigo.empty() ? std::string("POR") : codigo;
}

std::optional<Mensagem> mensagem(Situacao situacao, std::string_view lingua, std::string_view detalhe)
{
    if (situacao == Situacao::SemArgumento) {
        // Said in all three languages: nobody chose one when starting by hand.
        return Mensagem{
            L"LoadZEKO", Icone::Informacao,
            L"Este programa s\u00f3 pode ser executado atrav\u00e9s do atalho criado na instala\u00e7\u00e3o."
            L"\r\r"
            L"This program can only be run by using the shortcut created after installation."
            L"\r\r"
            L"Este programa s\u00f3lo puede ser ejecutado a trav\u00e9s del atajo creado en la "
            L"instalaci\u00f3n."};
    }
    const int l = lingua == "POR" ? 0 : lingua == "ING" ? 1 : lingua == "ESP" ? 2 : -1;
    if (l < 0)
        return std::nullopt;
    const std::wstring programa = largo(kPrograma);
    const std::wstring d = largo(detalhe);
    std::wstring texto;
    switch (situacao) {
    case Situacao::ProgramaAusente: {
        const wchar_t *antes[] = {L"Arquivo ", L"File ", L"Archivo "};
        const wchar_t *depois[] = {L" n\u00e3o encontrado!", L" not found!", L" no encontrado."};
        texto = antes[l] + programa + depois[l];
        break;
    }
    case Situacao::UnidadeInvalida: {
        const wchar_t *t[] = {
            L"\"%\" n\u00e3o \u00e9 uma unidade v\u00e1lida. Abra o livro pelo ZEKO Download.",
            L"\"%\" is not a valid drive. Open the book from ZEKO Download.",
            L"\"%\" no es una unidad v\u00e1lida. Abra el libro desde ZEKO Download."};
        texto = t[l];
        break;
    }
    case Situacao::UnidadeInexistente: {
        const wchar_t *t[] = {L"A unidade % n\u00e3o existe. Abra o livro novamente pelo ZEKO Download.",
                              L"Drive % does not exist. Open the book again from ZEKO Download.",
                              L"La unidad % no existe. Abra el libro de nuevo desde ZEKO Download."};
        texto = t[l];
        break;
    }
    case Situacao::FalhaAoIniciar: {
        const wchar_t *t[] = {L"N\u00e3o foi poss\u00edvel iniciar %.", L"% could not be started.",
                              L"No se pudo iniciar %."};
        texto = t[l];
        break;
    }
    case Situacao::SemArgumento:
        break;
    }
    if (const std::size_t p = texto.find(L'%'); p != std::wstring::npos)
        texto.replace(p, 1, situacao == Situacao::FalhaAoIniciar ? d + L"\\" + programa : d);
    return Mensagem{L"ZEKO", Icone::Exclamacao, texto};
}

} // namespace launcher
