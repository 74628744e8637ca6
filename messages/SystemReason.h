#pragma once

#include <QString>

namespace messages {

class Catalogue;

// Why a file, a folder or the registry could not be used, in the user's
// language: a catalogue phrase, then the system's own code in brackets for
// whoever helps the user ("sem permissão para essa operação (EACCES)").
QString systemReason(Catalogue &catalogue, int errnoValue);
// The same for a failure the registry's SQLite reported by its result code.
QString registryReason(Catalogue &catalogue, int sqliteCode);
// The reason as the last line of a report: message 70 filled with it.
QString reasonLine(Catalogue &catalogue, const QString &reason);

} // namespace messages
