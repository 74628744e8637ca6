#pragma once

#include "CourseDialogue.h"
#include "MessageBox.h"
#include "MessageBoxLayout.h"
#include "frmMensagem.h"

#include <QList>
#include <QPointer>

namespace platform {
class Platform;
}
namespace shell {
struct SharedState;
}

namespace messages {

// The message box every window reports and asks through. A waiting call keeps
// the window in front disabled and processes events until its own box is
// answered. A box shown meanwhile goes on top; the waiting one stays under it.
class SkinnedMessageBox : public MessageBox {
  public:
    SkinnedMessageBox(shell::SharedState &state, platform::Platform &platform);
    ~SkinnedMessageBox() override;

    void ExibeMensagem(const QString &texto, int tipoCaixa, int tamanhoFonte, int tipoMensagem,
                       bool aguardaResposta, const QString &textoRtf, int reservado) override;

    // A course dialogue's section-list entries, answer options and two-way
    // choice for the next box shown, and only for it.
    void prepareDialogue(CourseControls course) { m_course = std::move(course); }

    // The box on top, if any.
    frmMensagem *form() const { return m_form; }

    // Size of a text as the box's label shows it, in twips.
    static MessageBoxLayout::Extent measure(const QString &texto, int tamanhoFonte);

  private:
    struct OpenBox {
        QPointer<frmMensagem> form;
        bool awaited = false; // a call waits for its answer
        bool disablesOwner = false;
    };

    void unload(frmMensagem *form);

    shell::SharedState &m_state;
    platform::Platform &m_platform;
    // The faces of the box shown last: a type that names fewer buttons, or a
    // negative one, takes the rest from them.
    MessageBoxLayout::ButtonSet m_buttons;
    QPointer<frmMensagem> m_form;
    QList<OpenBox> m_open; // boxes on screen, the last on top
    int m_reservado = 0;
    CourseControls m_course;
};

} // namespace messages
