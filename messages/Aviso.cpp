#include "Aviso.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "shell/SharedState.h"

namespace messages {

void avisa(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params)
{
    Catalogue catalogo(*state.rsMensagens, *state.rsBotoes);
    state.strMensagem = params.isEmpty() ? catalogo.descricao(codigo) : catalogo.mensagem(codigo, params);
    box.mostraAviso(state.strMensagem);
}

} // namespace messages
