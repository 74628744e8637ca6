// zeko-message-box: shows one message box as a window or a course dialogue
// would, and prints the answer and what the box left in the shared state. For
// trying the box types by hand and taking pictures of them.

#include "messages/SkinnedMessageBox.h"
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
    const QCommandLineOption boxType(QStringLiteral("type"), QStringLiteral("box type, 0 to 27"),
                                     QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption fontOption(QStringLiteral("font"), QStringLiteral("font size: 8, 10, 12 or 14"),
                                        QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption texto(QStringLiteral("text"), QStringLiteral("the text; # starts blue, | black"),
                                   QStringLiteral("TEXT"), QStringLiteral("Mensagem"));
    const QCommandLineOption lessons(QStringLiteral("sections"),
                                     QStringLiteral("section-list entries, separated by ';' (\"1/1;1/2\")"),
                                     QStringLiteral("LIST"));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("the folder entry's first text"),
                                    QStringLiteral("PATH"));
    const QCommandLineOption options(QStringLiteral("options"),
                                     QStringLiteral("show the practice-test options"));
    const QCommandLineOption optMsg(QStringLiteral("choice"),
                                    QStringLiteral("show the two-way choice A: / B:"));
    const QCommandLineOption pictures(QStringLiteral("pictures"), QStringLiteral("the box's picture folder"),
                                      QStringLiteral("DIR"),
                                      QStringLiteral(ZEKO_APP_DIR "/Imagens/Cai_Msg/"));
    cli.addOptions({boxType, fontOption, texto, lessons, folder, options, optMsg, pictures});
    cli.process(app);

    platform::WinePlatform wine(platform::WinePrefix::fromEnvironment());
    shell::SharedState state;
    state.strPastaCaiMsg = cli.value(pictures);
    if (!state.strPastaCaiMsg.endsWith(u'/'))
        state.strPastaCaiMsg += u'/';
    state.strPastaEscolhida = cli.value(folder);

    messages::SkinnedMessageBox box(state, wine);
    messages::CourseControls course;
    if (cli.isSet(lessons))
        course.lessons = cli.value(lessons).split(u';', Qt::SkipEmptyParts);
    course.options = cli.isSet(options);
    course.optMsg = cli.isSet(optMsg);
    box.prepareDialogue(course);

    // "\n" in the argument stands for a line feed, as a course text holds them.
    const QString mensagem = cli.value(texto).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    box.ExibeMensagem(mensagem, cli.value(boxType).toInt(), cli.value(fontOption).toInt(), 1, true, QString(),
                      0);

    auto yes = [](bool b) { return b ? "True" : "False"; };
    std::printf(
        "intBotaoMsg=%d\nstrPastaEscolhida=%s\nblnOpcao1=%s\nblnOpcao3=%s\nstrLicaoMsg=%s\nstrSecaoMsg=%s\n",
        state.intBotaoMsg, qPrintable(state.strPastaEscolhida), yes(state.blnOpcao1), yes(state.blnOpcao3),
        qPrintable(state.chosenLesson), qPrintable(state.chosenSection));
    return 0;
}
