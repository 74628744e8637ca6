#include "frmAbrirLivro.h"

#include "books/BookEntries.h"
#include "drive/MountDrive.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/MessageBox.h"
#include "messages/Notify.h"
#include "shell/ConfirmaSaida.h"
#include "shell/SharedState.h"
#include "shell/skin/FieldStyle.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QSignalBlocker>

namespace books {

namespace {

enum Botao { Remover = 1, Configurar, Principal, Help, OK, Minimizar, Sair };

} // namespace

frmAbrirLivro::frmAbrirLivro(platform::Platform &platform, shell::SharedState &state,
                             drive::MountDrive &drives, messages::MessageBox &box, QString programFolder,
                             std::function<void()> exitProgram, QWidget *parent)
    : SkinnedWindow(state, shell::skin::kBookListSkin, state.strPastaTlaLiv, parent)
    , m_drives(drives)
    , m_box(box)
    , m_exitProgram(std::move(exitProgram))
    , m_opening(platform, state, box, drives, std::move(programFolder), [this] { MontaCombo(); })
    , m_removal(
          platform, state, box, drives, [this] { MontaCombo(); }, [this](bool on) { setEnabled(on); })
    , m_title(new QLabel(this))
    , m_message(new QLabel(this))
    , m_list(new shell::skin::DropDownList(13, this))
{
    m_title->setObjectName(QStringLiteral("fxlblTitulo"));
    styleLabel(m_title, *windowSkin().label("fxlblTitulo"));
    m_message->setObjectName(QStringLiteral("fxlblMensagem"));
    styleLabel(m_message, *windowSkin().label("fxlblMensagem"));

    m_list->setObjectName(QStringLiteral("cbZEKO"));
    m_list->setGeometry(toRect(windowSkin().listRect));
    m_list->setMaxVisibleItems(12);
    connect(m_list, &QComboBox::currentIndexChanged, this, &frmAbrirLivro::entryChosen);

    m_timer1.setInterval(100);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        m_title->update();
        m_message->update();
        showNormalButton(Minimizar);
        showNormalButton(Sair);
    });
}

bool frmAbrirLivro::load(QString *error)
{
    const BusyGuard guard = busy();
    bringToFront(shell::skin::kInstallSkin);

    if (!loadSkin(error))
        return false;
    m_title->raise();
    m_message->raise();
    m_list->raise();

    // Hints of buttons 1 to 7.
    namespace hint = messages::hint;
    loadHints({hint::None, hint::RemoveBook, hint::InstallBook, hint::BackToMain, hint::Help, hint::OpenBook,
               hint::Minimize, hint::Exit});
    messages::Catalogue &catalogue = *m_state.catalogue;
    m_title->setText(catalogue.descricao(messages::code::BookListTitle));
    m_message->setText(catalogue.descricao(messages::code::BookListInformation));
    setAccessibleName(m_title->text());
    // The information line labels the list for a screen reader, which reads the entries as they show.
    m_message->setBuddy(m_list);

    m_drives.MontaListaDrives(true);
    MontaCombo();
    showInPlaceOfMain();
    m_timer1.start();
    return true;
}

void frmAbrirLivro::MontaCombo()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItems(BookEntries::entries(m_state));
    m_list->setCurrentIndex(0);
    // Selecting entry 0 is a selection like any other: it disables Remove and OK.
    entryChosen(0);
}

void frmAbrirLivro::entryChosen(int index)
{
    const bool isBook = BookEntries::isBookEntry(index);
    HabilitaBotao(Remover, isBook);
    HabilitaBotao(OK, isBook);
}

void frmAbrirLivro::RestauraBotoes()
{
    m_title->update();
    m_message->update();
    m_list->update();
    SkinnedWindow::RestauraBotoes();
}

void frmAbrirLivro::buttonAction(int index)
{
    // Remove, open and exit wait on the message box or a worker thread, and come
    // back into this window: it stays until they end. The flows tell the user
    // their own outcome, so the window has nothing to add.
    switch (index) {
    case Remover: {
        const BusyGuard guard = busy();
        (void)m_removal.remove(m_list->currentText());
        break;
    }
    case Configurar:
        emit installRequested();
        break;
    case Principal:
        backToMain();
        break;
    case Help:
        emit helpRequested();
        break;
    case OK: {
        const BusyGuard guard = busy();
        (void)m_opening.open(m_list->currentText());
        break;
    }
    case Minimizar:
        setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case Sair: {
        const BusyGuard guard = busy();
        if (!shell::ConfirmaSaida(m_state, m_box))
            break;
        if (m_drives.CursoEmExecucao()) {
            // Leaving would take the book's drive from under the running course.
            messages::notify(m_state, m_box, messages::code::CourseRunningLeave);
            break;
        }
        m_drives.DesmontaLivros();
        m_exitProgram();
        break;
    }
    default:
        break;
    }
}

int frmAbrirLivro::escapeButton() const
{
    return Principal;
}

int frmAbrirLivro::enterButton() const
{
    return OK;
}

void frmAbrirLivro::closeEvent(QCloseEvent *e)
{
    SkinnedWindow::closeEvent(e);
    if (e->isAccepted())
        backToMainIfAsked();
}

} // namespace books
