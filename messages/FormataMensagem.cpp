#include "FormataMensagem.h"

#include <algorithm>

namespace messages {

QString FormataMensagem(const QString &descricao, int qtdParam, const QString &param1, const QString &param2,
                        const QString &param3, const QString &param4, const QString &param5)
{
    const QString *params[] = {&param1, &param2, &param3, &param4, &param5};
    const int qtd = std::min(qtdParam, 5);
    QString texto;
    texto.reserve(descricao.size());
    int filled = 0;
    // Only the stored text is searched: a value is copied as it is, so an "@" in a
    // folder or book name is never taken for a placeholder.
    for (const QChar c : descricao) {
        if (c == u'@' && filled < qtd)
            texto += *params[filled++];
        else
            texto += c;
    }
    return texto;
}

} // namespace messages
