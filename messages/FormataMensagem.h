#pragma once

#include <QString>

namespace messages {

// Fills the first qtdParam "@" placeholders of descricao, the n-th with the n-th
// parameter. The catalogue's texts are written for exactly this procedure, quirks
// included: parameters past the fifth are never inserted; the next search starts
// one past the position found in the text before the replacement, so it may land
// inside a longer inserted value; an empty parameter shortens the text, so in
// "@@" the second placeholder is passed over.
QString FormataMensagem(const QString &descricao, int qtdParam, const QString &param1 = {},
                        const QString &param2 = {}, const QString &param3 = {},
                        const QString &param4 = {}, const QString &param5 = {});

} // namespace messages
