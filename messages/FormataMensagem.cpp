#include "FormataMensagem.h"

namespace messages {

QString FormataMensagem(const QString &descricao, int qtdParam, const QString &param1,
                        const QString &param2, const QString &param3, const QString &param4,
                        const QString &param5)
{
    const QString *params[] = {&param1, &param2, &param3, &param4, &param5};
    QString texto = descricao;
    qsizetype inicio = 1; // positions count from 1, 0 means not found
    for (int i = 1; i <= qtdParam; ++i) {
        const qsizetype p = inicio > texto.size() ? 0 : texto.indexOf(u'@', inicio - 1) + 1;
        if (i <= 5 && p > 0)
            texto = texto.left(p).replace(u'@', *params[i - 1]) + texto.mid(p);
        inicio = p + 1;
    }
    return texto;
}

} // namespace messages
