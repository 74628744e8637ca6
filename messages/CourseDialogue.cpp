#include "CourseDialogue.h"

namespace messages::courseDialogue {

const QString kOptMsgCaptions[2] = {QStringLiteral("A:"), QStringLiteral("B:")};

const QString kOptionCaptions[3] = {
    QStringLiteral("Visualizar as respostas corrigidas desta(e) Seção (Practice Test)."),
    QStringLiteral("Apagar todas as respostas desta(e) Seção (Practice Test) e refazê-las novamente."),
    QStringLiteral("Deseja apagar e refazer somente os exercícios errados?"),
};

QString folderOfEntry(const QString &texto)
{
    // Trimmed first, so "C:\Livros\ " loses its backslash as well as its blank.
    QString folder = texto.trimmed();
    if (folder.endsWith(u'\\'))
        folder.chop(1);
    return folder;
}

bool hasFolderEntry(int tipoCaixa)
{
    return tipoCaixa == 19 || tipoCaixa == 25;
}

bool firstButtonAnswers(int tipoCaixa, const QString &entryText)
{
    return !hasFolderEntry(tipoCaixa) || !entryText.trimmed().isEmpty();
}

AnswerFlags chooseOption(int n)
{
    switch (n) {
    case 2:
        return {false, false}; // erase all answers and redo them
    case 3:
        return {false, true}; // redo only the wrong exercises
    default:
        return {true, false}; // view the corrected answers
    }
}

LessonSection lessonSection(const QString &entry)
{
    const qsizetype slash = entry.indexOf(u'/');
    if (slash < 0)
        return {entry.trimmed(), QString()};
    return {entry.left(slash).trimmed(), entry.mid(slash + 1).trimmed()};
}

QString driveCaption(int tipoCaixa, const QString &language, const QString &chosenFolder)
{
    const bool ing = language == QStringLiteral("ING");
    if (tipoCaixa == 25)
        return ing                                 ? QStringLiteral("on")
               : language == QStringLiteral("ESP") ? QStringLiteral("en")
                                                   : QStringLiteral("em");
    if (tipoCaixa == 26)
        return (ing ? QStringLiteral("from ") : QStringLiteral("de ")) + chosenFolder;
    return {};
}

QString trimCaption(QString caption, int width, const std::function<int(const QString &)> &measure)
{
    while (measure(caption) > width) {
        const qsizetype slash = caption.lastIndexOf(u'\\');
        if (slash < 0)
            break;
        caption = caption.left(slash) + QStringLiteral("...");
    }
    return caption;
}

} // namespace messages::courseDialogue
