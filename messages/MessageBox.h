#pragma once

#include <QString>

namespace messages {

// The one message box through which every window reports and asks. A waiting
// call returns once the user has answered; the answer is then in the shared
// state's intBotaoMsg (1 for the first button) and blnMsgAberta is false again.
class MessageBox {
  public:
    virtual ~MessageBox() = default;

    // tipoCaixa: 0 no buttons, 1 OK, 4 yes/no, ...; tamanhoFonte 8, 10, 12 or 14;
    // tipoMensagem 0 or 1; textoRtf replaces texto when not empty; reservado unused.
    virtual void ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                               bool aguardaResposta, const QString &textoRtf, int reservado) = 0;

    // The report every flow uses: an OK box, font size 10, that waits.
    void showNotice(const QString &texto) { ExibeMensagem(texto, 1, 10, 1, true, QString(), 0); }
};

} // namespace messages
