#include "ZipHandover.h"

#include "Navigation.h"
#include "SharedState.h"
#include "install/frmInstalarLivro.h"
#include "messages/Catalogue.h"
#include "messages/Codes.h"
#include "messages/FormataMensagem.h"
#include "messages/Notify.h"

#include <QApplication>

namespace shell {

namespace {

// How often a refused file's notice looks for the end of the wait.
constexpr int kTellIntervalMs = 200;

} // namespace

ZipHandover::ZipHandover(SharedState &state, messages::MessageBox &box, Navigation &navigation,
                         QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_box(box)
    , m_navigation(navigation)
{
    m_tellTimer.setInterval(kTellIntervalMs);
    connect(&m_tellTimer, &QTimer::timeout, this, &ZipHandover::tellRefused);
}

ZipHandover::~ZipHandover() = default;

bool ZipHandover::idle() const
{
    return m_accepted.isEmpty() && m_refused.isEmpty() && windowsIdle();
}

bool ZipHandover::windowsIdle() const
{
    // A flow waits on a box, a dialog or a worker inside one of the windows.
    if (QCoreApplication::closingDown() || skin::SkinnedWindow::anyBusy() || m_state.blnMsgAberta ||
        QApplication::activeModalWidget())
        return false;
    const skin::SkinnedWindow *front = skin::SkinnedWindow::byName(m_state.strNomeForm);
    return front && front->isVisible();
}

ZipHandover::Outcome ZipHandover::receive(const QString &zip)
{
    if (!idle()) {
        m_refused.append(zip);
        m_tellTimer.start();
        return Outcome::Busy;
    }
    m_accepted = zip;
    m_hold.emplace(*skin::SkinnedWindow::byName(m_state.strNomeForm));
    // Not from here: the caller is the channel's reading, and an install waits.
    QTimer::singleShot(0, this, &ZipHandover::installAccepted);
    return Outcome::Accepted;
}

void ZipHandover::installAccepted()
{
    const QString zip = std::exchange(m_accepted, QString());
    // Let go only now, and nothing runs in between: the install window's own
    // flow holds it from here on.
    m_hold.reset();
    if (install::frmInstalarLivro *installWindow = m_navigation.bringInstallWindowForward())
        installWindow->installHanded(zip);
}

void ZipHandover::tellRefused()
{
    if (m_refused.isEmpty()) {
        m_tellTimer.stop();
        return;
    }
    if (!m_accepted.isEmpty() || !windowsIdle())
        return;
    m_tellTimer.stop();
    skin::SkinnedWindow *front = skin::SkinnedWindow::byName(m_state.strNomeForm);
    const skin::SkinnedWindow::BusyGuard guard = front->busy();
    // One notice at a time, each waiting for its OK; a file handed over meanwhile
    // joins the list, which goes on once this one is answered.
    messages::notify(m_state, m_box, messages::code::HandoverBusy, {m_refused.takeFirst()});
    if (!m_refused.isEmpty())
        m_tellTimer.start();
}

QString ZipHandover::busyText(const QString &zip) const
{
    messages::Catalogue &catalogue = *m_state.catalogue;
    QString descricao = catalogue.descricao(messages::code::HandoverBusy);
    descricao.remove(u'#').remove(u'|');
    return messages::FormataMensagem(descricao, catalogue.qtdParam(messages::code::HandoverBusy), zip);
}

} // namespace shell
