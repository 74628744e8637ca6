#include "Notify.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "SystemReason.h"
#include "shell/SharedState.h"

namespace messages {

void notify(shell::SharedState &state, MessageBox &box, int code, const QStringList &params)
{
    Catalogue &catalogue = *state.catalogue;
    state.strMensagem = params.isEmpty() ? catalogue.descricao(code) : catalogue.mensagem(code, params);
    box.showNotice(state.strMensagem);
}

namespace {

void withReason(shell::SharedState &state, MessageBox &box, int code, const QStringList &params,
                QString (*reasonOf)(Catalogue &, int), int reasonCode)
{
    Catalogue &catalogue = *state.catalogue;
    state.strMensagem = (params.isEmpty() ? catalogue.descricao(code) : catalogue.mensagem(code, params)) +
                        u'\n' + reasonLine(catalogue, reasonOf(catalogue, reasonCode));
    box.showNotice(state.strMensagem);
}

} // namespace

void notifyWithSystemReason(shell::SharedState &state, MessageBox &box, int code, const QStringList &params,
                            int errnoValue)
{
    withReason(state, box, code, params, &systemReason, errnoValue);
}

void notifyWithRegistryReason(shell::SharedState &state, MessageBox &box, int code, const QStringList &params,
                              int sqliteCode)
{
    withReason(state, box, code, params, &registryReason, sqliteCode);
}

} // namespace messages
