#include "ConsoleMessageBox.h"

#include "shell/SharedState.h"

#include <unistd.h>

namespace console {

namespace {

constexpr int kSimNao = 4;
constexpr int kSim = 1;
constexpr int kNao = 2;

} // namespace

ConsoleMessageBox::ConsoleMessageBox(shell::SharedState &state, Answer answer, std::FILE *in, std::FILE *err)
    : m_state(state)
    , m_answer(answer)
    , m_in(in)
    , m_err(err)
{
}

QString ConsoleMessageBox::plain(const QString &texto)
{
    return QString(texto).remove(u'#').remove(u'|');
}

void ConsoleMessageBox::ExibeMensagem(const QString &texto, int tipoCaixa, int, int, bool, const QString &,
                                      int)
{
    const QString linha = plain(texto);
    std::fprintf(m_err, "%s\n", qPrintable(linha));
    std::fflush(m_err);
    m_state.blnMsgAberta = false;
    m_state.intBotaoMsg = kSim;
    if (tipoCaixa != kSimNao)
        return;

    if (m_answer == Answer::Yes)
        return;
    if (m_answer == Answer::No) {
        m_state.intBotaoMsg = kNao;
        return;
    }
    // Only a person at a terminal may answer; anything else changes nothing.
    if (!m_in || !::isatty(::fileno(m_in))) {
        m_unanswered = true;
        m_state.intBotaoMsg = kNao;
        return;
    }
    std::fprintf(m_err, "[y/n] ");
    std::fflush(m_err);
    char buffer[64] = {};
    const bool yes = std::fgets(buffer, sizeof buffer, m_in) &&
                     (buffer[0] == 'y' || buffer[0] == 'Y' || buffer[0] == 's' || buffer[0] == 'S');
    m_state.intBotaoMsg = yes ? kSim : kNao;
}

} // namespace console
