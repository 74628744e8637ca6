#pragma once

#include <QString>
#include <QStringList>

namespace shell {
struct SharedState;
}

namespace messages {

class MessageBox;

// Shows catalogue message `code` in the report box (one OK button, font 10,
// waiting), through strMensagem: as stored when no parameters are given, else
// filled with them.
void notify(shell::SharedState &state, MessageBox &box, int code, const QStringList &params = {});

// The same with the reason as its last line ("Motivo: ..."): why a file or
// folder refused (errno) or why the registry refused (SQLite result code).
void notifyWithSystemReason(shell::SharedState &state, MessageBox &box, int code, const QStringList &params,
                            int errnoValue);
void notifyWithRegistryReason(shell::SharedState &state, MessageBox &box, int code, const QStringList &params,
                              int sqliteCode);

} // namespace messages
