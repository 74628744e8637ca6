#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace messages {

// What a course dialogue asks of the message box beyond its box type. The
// manager's own boxes ask for none of it. It holds for the next box only.
struct CourseControls {
    // Entries of the section list (box types 25 to 27), "lesson/section".
    QStringList lessons;
    // The practice-test answer options Option1 to Option3.
    bool options = false;
    // The two-way choice OptMsg(0) "A:" / OptMsg(1) "B:".
    bool optMsg = false;
    // Called with the lesson and section of an entry the user chose; looking
    // them up in the course is the host's business.
    std::function<void(const QString &lesson, const QString &section)> onSectionChosen;
};

// The box's reactions to the course dialogues' controls, without widgets.
namespace courseDialogue {

// The folder the entry names: blanks around it removed, a final "\" dropped.
QString folderOfEntry(const QString &texto);

// Button 1 of a box with a folder entry (types 19 and 25) answers only when
// the entry holds more than blanks.
bool firstButtonAnswers(int tipoCaixa, const QString &entryText);

// The box types whose third face is "FIND" beside the folder entry.
bool hasFolderEntry(int tipoCaixa);

struct AnswerFlags {
    bool blnOpcao1 = true;
    bool blnOpcao3 = false;
};
// The answer flags once Option n (1, 2 or 3) is chosen.
AnswerFlags chooseOption(int n);

struct LessonSection {
    QString lesson, section;
};
// The lesson and section of a section-list entry: the parts before and after "/".
LessonSection lessonSection(const QString &entry);

// The caption beside the section list: "em"/"en"/"on" in type 25, "de "/"from "
// and the chosen folder in type 26; nothing in the other types.
QString driveCaption(int tipoCaixa, const QString &language, const QString &chosenFolder);

// A folder caption cut back at its last "\" with "..." appended, again and
// again, while it is wider than `width`, or until no "\" is left.
QString trimCaption(QString caption, int width, const std::function<int(const QString &)> &measure);

// Captions of the option controls, the system's own texts.
extern const QString kOptMsgCaptions[2];
extern const QString kOptionCaptions[3];

} // namespace courseDialogue
} // namespace messages
