#pragma once

#include <QString>

namespace messages {

// Fills the first qtdParam "@" placeholders of descricao, the n-th with the n-th
// parameter, each once. Values are inserted as they are. Parameters past the
// fifth are never inserted, so a sixth placeholder stays.
QString FormataMensagem(const QString &descricao, int qtdParam, const QString &param1 = {},
                        const QString &param2 = {}, const QString &param3 = {}, const QString &param4 = {},
                        const QString &param5 = {});

} // namespace messages
