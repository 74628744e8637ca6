#pragma once

// The launcher's decisions, free of Windows calls so they are tested natively as
// well as inside the Windows program: what the command line asks for, which
// language the course installation chose, and which message a situation shows.

#include <optional>
#include <string>
#include <string_view>

namespace launcher {

enum class Icon { Information, Exclamation };

struct Notice {
    std::wstring title;
    Icon icon;
    std::wstring text;
};

enum class Situation {
    NoArgument,     // started by hand, without a drive
    MissingProgram, // no AUTORUN.EXE at the root of the drive
    InvalidDrive,   // the argument is not a drive letter and a colon
    MissingDrive,   // the drive does not exist or cannot be made current
    StartFailed,    // AUTORUN.EXE is there but could not be started
};

inline constexpr const char *kProgram = "AUTORUN.EXE";
inline constexpr const char *kIniFile = "ZEKO.INI";
inline constexpr const char *kSection = "InstalacaoVersao5";
inline constexpr const char *kKey = "IdiomaInst";

// The argument part of a full command line (everything after the program name,
// quoted or not), upper-cased.
std::string argument(std::string_view commandLine);

// True for exactly one letter and a colon, blanks around allowed ("x:", " X: ").
bool validDrive(std::string_view argument);
// The drive as letter and colon, blanks removed; assumes validDrive.
std::string driveOf(std::string_view argument);

// The language of the messages from the IdiomaInst value: trimmed, upper-cased,
// empty giving "POR".
std::string language(std::string_view iniValue);

// The box a situation shows, or nothing: a language other than POR, ING or ESP
// shows no message. detail names the drive where the text speaks of one.
std::optional<Notice> notice(Situation situation, std::string_view language, std::string_view detail = {});

} // namespace launcher
