#pragma once

// The launcher's decisions, free of Windows calls so they are tested natively as
// well as inside the Windows program: what the command line asks for, which
// language the course installation chose, and which message a situation shows.

#include <optional>
#include <string>
#include <string_view>

namespace launcher {

enum class Icone { Informacao, Exclamacao };

struct Mensagem {
    std::wstring titulo;
    Icone icone;
    std::wstring texto;
};

enum class Situacao {
    SemArgumento,       // started by hand, without a drive
    ProgramaAusente,    // no AUTORUN.EXE at the root of the drive
    UnidadeInvalida,    // the argument is not a drive letter and a colon
    UnidadeInexistente, // the drive does not exist or cannot be made current
    FalhaAoIniciar,     // AUTORUN.EXE is there but could not be started
};

inline constexpr const char *kPrograma = "AUTORUN.EXE";
inline constexpr const char *kArquivoIni = "ZEKO.INI";
inline constexpr const char *kSecao = "InstalacaoVersao5";
inline constexpr const char *kChave = "IdiomaInst";

// The argument part of a full command line (everything after the program name,
// quoted or not), upper-cased.
std::string argumento(std::string_view linhaDeComando);

// True for exactly one letter and a colon, blanks around allowed ("x:", " X: ").
bool unidadeValida(std::string_view argumento);
// The drive as letter and colon, blanks removed; assumes unidadeValida.
std::string unidade(std::string_view argumento);

// The language of the messages from the IdiomaInst value: trimmed, upper-cased,
// empty giving "POR".
std::string idioma(std::string_view valorIni);

// The box a situation shows, or nothing: a language other than POR, ING or ESP
// shows no message. detalhe names the drive where the text speaks of one.
std::optional<Mensagem> mensagem(Situacao situacao, std::string_view idioma, std::string_view detalhe = {});

} // namespace launcher
