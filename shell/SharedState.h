#pragma once

#include "books/MenuEntries.h"
#include "messages/Catalogue.h"
#include "shell/registry/Database.h"
#include "shell/registry/Recordset.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

namespace shell {

// The state the start-up settles and every window reads and changes. One object,
// handed to whoever needs it.
struct SharedState {
    // Name of the window now in front; the skin routines and the message box go by it.
    QString strNomeForm;
    // Set when the book-list or install window was left through its "Principal" button.
    bool blnVoltaPrincipal = false;

    QString strPastaCaiMsg; // message-box pictures
    QString strPastaTlaPrc; // main window skin
    QString strPastaTlaLiv; // book-list window skin
    QString strPastaTlaIns; // install window skin
    QString strPastaHelp;
    QString strPastaDownload; // Windows path with a trailing backslash

    QString strUsuario; // upper case

    std::unique_ptr<registry::Database> dbLivros;
    std::unique_ptr<registry::Database> dbMensagens;
    std::unique_ptr<registry::Recordset> rsMapeamento; // the user's books, by Curso
    std::unique_ptr<registry::Recordset> rsBotoes;
    std::unique_ptr<registry::Recordset> rsFuncoes;
    std::unique_ptr<registry::Recordset> rsMensagens;
    // The texts of rsMensagens and rsBotoes, made once the start-up has opened them;
    // declared after them so that it goes first.
    std::unique_ptr<messages::Catalogue> catalogue;

    // Free drive letters, highest first; element 0 is never used.
    QStringList strLetrasLivres{QString()};

    QString strMensagem; // text of the next message box
    int intBotaoMsg = 0; // answer of the last box: 1 for its first button
    bool blnMsgAberta = false;
    // What the course dialogues of the message box leave besides the answer.
    QString strPastaEscolhida;           // the folder entry's folder; the entry starts with it
    bool blnOpcao1 = true;               // the answer options: 1 view the corrected answers,
    bool blnOpcao3 = false;              // 3 redo only the wrong exercises, neither: redo all
    QString chosenLesson, chosenSection; // lesson and section of the chosen section-list entry

    // The books' entries in the desktop's menu; the programs set it up after the
    // start-up, so flows run without them (tests) write none.
    books::MenuEntries menuEntries;

    QString helpFile;                // the help file of the chosen language
    QString versionCaption;          // caption of the main window's version label
    QString mainTitle;               // caption of the main window's title
    std::array<QString, 6> strHints; // main window button hints, 1 to 5
};

} // namespace shell
