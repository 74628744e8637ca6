// zeko-message-box: shows one message box as a window or a course dialogue
// would, and prints the answer and what the box left in the shared state. For
// trying the box types by hand and taking pictures of them.

#include "messages/frmMensagem.h"
#include "platform/WinePlatform.h"
#include "platform/WinePrefix.h"
#include "shell/SharedState.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral(
        "Shows one message box on the Wine prefix $WINEPREFIX (its language and its A: drive)\n"
        "and prints the answer and the state the box leaves."));
    cli.addHelpOption();
    const QCommandLineOption tipo(QStringLiteral("type"), QStringLiteral("box type, 0 to 27"),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption fonte(QStringLiteral("font"), QStringLiteral("font size: 8, 10, 12 or 14"),
                                   QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption texto(QStringLiteral("text"), QStringLiteral("the text; # starts blue, | black"),
                                   QStringLiteral("TEXT"), QStringLiteral("Mensagem"));
    const QCommandLineOption licoes(QStringLiteral("sections"),
                                    QStringLiteral("section-list entries, separated by ';' (\"1/1;1/2\")"),
                                    QStringLiteral("LIST"));
    const QCommandLineOption pasta(QStringLiteral("folder"), QStringLiteral("the folder entry's first text"),
                                   QStringLiteral("PATH"));
    const QCommandLineOption opcoes(QStringLiteral("options"),
                                    QStringLiteral("show the practice-test options"));
    const QCommandLineOption optMsg(QStringLiteral("choice"),
                                    QStringLiteral("show the two-way choice A: / B:"));
    const QCommandLineOption imagens(QStringLiteral("pictures"), QStringLiteral("the box's picture folder"),
                                     QStringLiteral("DIR"), QStringLiteral(ZEKO_APP_DIR "/Imagens/Cai_Msg/"));
    cli.addOptions({tipo, fonte, texto, licoes, pasta, opcoes, optMsg, imagens});
    cli.process(app);

    platform::WinePlatform wine(platform::WinePrefix::fromEnvironment());
    shell::SharedState state;
    state.strPastaCaiMsg = cli.value(imagens);
    if (!state.strPastaCaiMsg.endsWith(u'/'))
        state.strPastaCaiMsg += u'/';
    state.strPastaEscolhida = cli.value(pasta);

    messages::CaixaMensagem caixa(state, wine);
    messages::ControlesCurso curso;
    if (cli.isSet(licoes))
        curso.licoes = cli.value(licoes).split(u';', Qt::SkipEmptyParts);
    curso.opcoes = cli.isSet(opcoes);
    curso.optMsg = cli.isSet(optMsg);
    caixa.preparaDialogo(curso);

    // "\n" in the argument stands for a line feed, as a course text holds them.
    const QString mensagem = cli.value(texto).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    caixa.ExibeMensagem(mensagem, cli.value(tipo).toInt(), cli.value(fonte).toInt(), 1, true, QString(), 0);

    auto sim = [](bool b) { return b ? "True" : "False"; };
    std::printf(
        "intBotaoMsg=%d\nstrPastaEscolhida=%s\nblnOpcao1=%s\nblnOpcao3=%s\nstrLicaoMsg=%s\nstrSecaoMsg=%s\n",
        state.intBotaoMsg, qPrintable(state.strPastaEscolhida), sim(state.blnOpcao1), sim(state.blnOpcao3),
        qPrintable(state.strLicaoMsg), qPrintable(state.strSecaoMsg));
    return 0;
}
