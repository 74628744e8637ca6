#include "SkinnedMessageBox.h"

#include "platform/Platform.h"
#include "shell/SharedState.h"
#include "shell/Sistema.h"
#include "shell/skin/SkinnedWindow.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImageReader>
#include <QLineEdit>

#include <algorithm>
#include <memory>
#include <utility>

namespace messages {

namespace {

// Where the course looks for the picture of its folder boxes' third face.
const QString kFindPicture = QStringLiteral("A:\\Imagem\\Sistema\\FIND_NM.JPG");

} // namespace

SkinnedMessageBox::SkinnedMessageBox(shell::SharedState &state, platform::Platform &platform)
    : m_state(state)
    , m_platform(platform)
{
}

SkinnedMessageBox::~SkinnedMessageBox()
{
    for (const OpenBox &a : std::as_const(m_open))
        delete a.form;
}

MessageBoxLayout::Extent SkinnedMessageBox::measure(const QString &texto, int tamanhoFonte)
{
    const QFontMetrics fm(frmMensagem::messageFont(tamanhoFonte));
    const QStringList lines = texto.split(u'\n');
    int width = 0;
    for (const QString &l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    return {shell::skin::pixelsToTwips(width),
            shell::skin::pixelsToTwips(int(lines.size()) * fm.lineSpacing())};
}

void SkinnedMessageBox::unload(frmMensagem *form)
{
    m_open.removeIf([form](const OpenBox &a) { return a.form == form || !a.form; });
    form->hide();
    form->deleteLater();
    const bool ownerWaits =
        std::any_of(m_open.cbegin(), m_open.cend(), [](const OpenBox &a) { return a.disablesOwner; });
    if (!ownerWaits)
        if (shell::skin::SkinnedWindow *owner = shell::skin::SkinnedWindow::byName(m_state.strNomeForm)) {
            owner->setEnabled(true);
            owner->activateWindow();
        }
    m_form = m_open.isEmpty() ? nullptr : m_open.constLast().form.data();
    m_state.blnMsgAberta = !m_open.isEmpty();
    // The keys go back to the box still waiting under this one.
    if (m_form && ownerWaits)
        m_form->activateWindow();
}

void SkinnedMessageBox::ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                                      bool aguardaResposta, const QString &textoRtf, int reservado)
{
    const QString language = shell::Sistema(m_platform).LeIdiomaInst();
    // The default answer option is the first; a choice of an earlier box does not carry over.
    m_state.blnOpcao1 = true;
    m_state.blnOpcao3 = false;
    if (tipoCaixa == 25 || tipoCaixa == 26) {
        m_state.chosenLesson.clear();
        m_state.chosenSection.clear();
    }
    const CourseControls course = std::exchange(m_course, CourseControls{});
    const QString relatorio = MessageBoxLayout::validation(tipoCaixa, tamanhoFonte, tipoMensagem);
    if (!relatorio.isEmpty()) {
        ExibeMensagem(relatorio, 1, 10, 1, false, QString(), 0);
        return;
    }

    m_state.intBotaoMsg = 0;
    const bool waits = tipoCaixa > 1 || aguardaResposta;
    // A new box replaces one that no call waits for. One a call waits for stays
    // under the new box: its answer belongs to that call alone.
    if (!m_open.isEmpty() && !m_open.constLast().awaited) {
        if (frmMensagem *anterior = m_open.takeLast().form) {
            anterior->disconnect();
            anterior->hide();
            anterior->deleteLater();
        }
    }
    auto *form = new frmMensagem(m_state.strPastaCaiMsg, tipoCaixa, aguardaResposta ? 1 : 0);
    m_form = form;
    m_open.append({form, waits, aguardaResposta});
    m_state.blnMsgAberta = true;
    // Shared with the connection, which may outlive this call if the application
    // closes down before the box is answered.
    const auto answerMode = std::make_shared<int>(0);
    QObject::connect(form, &frmMensagem::answered, form, [this, form, answerMode](int n) {
        *answerMode = n;
        m_state.intBotaoMsg = n;
        unload(form);
    });

    QObject::connect(form, &frmMensagem::folderChanged, form,
                     [this](const QString &folder) { m_state.strPastaEscolhida = folder; });
    QObject::connect(form, &frmMensagem::optionChosen, form, [this](int n) {
        const courseDialogue::AnswerFlags o = courseDialogue::chooseOption(n);
        m_state.blnOpcao1 = o.blnOpcao1;
        m_state.blnOpcao3 = o.blnOpcao3;
    });
    QObject::connect(form, &frmMensagem::sectionChosen, form,
                     [this, notice = course.onSectionChosen](const QString &e) {
                         const courseDialogue::LessonSection ls = courseDialogue::lessonSection(e);
                         m_state.chosenLesson = ls.lesson;
                         m_state.chosenSection = ls.section;
                         if (notice)
                             notice(ls.lesson, ls.section);
                     });

    MessageBoxLayout::Context context{
        .language = language,
        .measure = &SkinnedMessageBox::measure,
        .captionWidth = &frmMensagem::captionWidth,
        .optionWidth = &frmMensagem::optionWidth,
        .zekoWidth = shell::skin::pixelsToTwips(shell::skin::msgbox::kProductLogo.width),
        .findWidth = 0,
        .chosenFolder = m_state.strPastaEscolhida,
        .course = course,
    };
    QString findPicture;
    if (courseDialogue::hasFolderEntry(tipoCaixa) && m_platform.fileExists(kFindPicture)) {
        findPicture = m_platform.toUnixPath(kFindPicture);
        context.findWidth = shell::skin::pixelsToTwips(QImageReader(findPicture).size().width());
    }
    const MessageBoxLayout::Result layout =
        MessageBoxLayout::compute(texto, tipoCaixa, tamanhoFonte, tipoMensagem, context, m_buttons);
    m_buttons = layout.buttons;
    form->apply(layout, tamanhoFonte, textoRtf, course, m_state.strPastaEscolhida, findPicture);

    if (aguardaResposta)
        if (shell::skin::SkinnedWindow *owner = shell::skin::SkinnedWindow::byName(m_state.strNomeForm))
            owner->setEnabled(false);

    form->show();
    form->raise();
    // The keys go to the box: its first face or its folder entry has the focus.
    form->activateWindow();
    m_reservado = reservado;
    if (waits) {
        while (*answerMode == 0 && !QCoreApplication::closingDown())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // A box answered meanwhile left its own answer in the shared state.
        m_state.intBotaoMsg = *answerMode;
    }
}

} // namespace messages
