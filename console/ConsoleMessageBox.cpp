#include "ConsoleMessageBox.h"

#include "shell/SharedState.h"

#include <unistd.h>

namespace console {

namespace {

constexpr int kYesNo = 4;
constexpr int kYes = 1;
constexpr int kNo = 2;

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
    const QString line = plain(texto);
    std::fprintf(m_err, "%s\n", qPrintable(line));
    std::fflush(m_err);
    m_state.blnMsgAberta = false;
    m_state.intBotaoMsg = kYes;
    if (tipoCaixa != kYesNo)
        return;

    if (m_answer == Answer::Yes)
        return;
    if (m_answer == Answer::No) {
        m_state.intBotaoMsg = kNo;
        return;
    }
    // Only a person at a terminal may answer; anything else changes nothing.
    if (!m_in || !::isatty(::fileno(m_in))) {
        m_unanswered = true;
        m_state.intBotaoMsg = kNo;
        return;
    }
    std::fprintf(m_err, "[y/n] ");
    std::fflush(m_err);
    char buffer[64] = {};
    const bool yes = std::fgets(buffer, sizeof buffer, m_in) &&
                     (buffer[0] == 'y' || buffer[0] == 'Y' || buffer[0] == 's' || buffer[0] == 'S');
    m_state.intBotaoMsg = yes ? kYes : kNo;
}

} // namespace console
