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

} // namespace messages
