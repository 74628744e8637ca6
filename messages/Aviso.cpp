#include "Aviso.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "SystemReason.h"
#include "shell/SharedState.h"

namespace messages {

void avisa(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params)
{
    Catalogue &catalogo = *state.catalogo;
    state.strMensagem = params.isEmpty() ? catalogo.descricao(codigo) : catalogo.mensagem(codigo, params);
    box.mostraAviso(state.strMensagem);
}

namespace {

void withReason(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params,
                QString (*reasonOf)(Catalogue &, int), int code)
{
    Catalogue &catalogo = *state.catalogo;
    state.strMensagem = (params.isEmpty() ? catalogo.descricao(codigo) : catalogo.mensagem(codigo, params)) +
                        u'\n' + reasonLine(catalogo, reasonOf(catalogo, code));
    box.mostraAviso(state.strMensagem);
}

} // namespace

void avisaSystemReason(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params,
                       int errnoValue)
{
    withReason(state, box, codigo, params, &systemReason, errnoValue);
}

void avisaRegistryReason(shell::SharedState &state, MessageBox &box, int codigo, const QStringList &params,
                         int sqliteCode)
{
    withReason(state, box, codigo, params, &registryReason, sqliteCode);
}

} // namespace messages
