#pragma once

#include <QString>
#include <QStringList>

namespace shell {
struct SharedState;
}

namespace messages {

class MessageBox;

// Shows catalogue message `codigo` in the report box (one OK button, font 10,
// waiting), through strMensagem: as stored when no parameters are given, else
// filled with them.
void avisa(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params = {});

// The same with the reason as its last line ("Motivo: ..."): why a file or
// folder refused (errno) or why the registry refused (SQLite result code).
void avisaSystemReason(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params,
                       int errnoValue);
void avisaRegistryReason(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params,
                         int sqliteCode);

} // namespace messages
