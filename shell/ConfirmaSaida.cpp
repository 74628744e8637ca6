#include "ConfirmaSaida.h"

#include "SharedState.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"

namespace shell {

bool ConfirmaSaida(SharedState &state, messages::MessageBox &box)
{
    state.strMensagem = state.catalogue->descricao(messages::code::ConfirmExit);
    box.ExibeMensagem(state.strMensagem, 4, 10, 1, true, QString(), 0);
    return state.intBotaoMsg == 1;
}

} // namespace shell
