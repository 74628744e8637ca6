#pragma once

#include "messages/SkinnedMessageBox.h"
#include "messages/frmMensagem.h"
#include "shell/SharedState.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// What the user does while a flow waits: steps taken in order, each once its
// condition holds, from a timer that runs in whatever event loop the flow waits
// in. A step that never comes fails the test; once a check has failed the steps
// left are given up at once, since they may wait for what the failed step did
// not do. After the last step (or the failure) any box still open is closed, as
// the window manager would, so that the flow ends, and its text is kept in
// leftOver.
class Script {
  public:
    Script(messages::SkinnedMessageBox &box, shell::SharedState &state)
        : m_box(box)
        , m_state(state)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
        m_since.start();
    }

    void then(const char *what, std::function<bool()> ready, std::function<void()> act)
    {
        m_steps.append({what, std::move(ready), std::move(act)});
    }
    // Runs when a step never comes (to let a held worker go, say).
    void onGivingUp(std::function<void()> f) { m_giveUp = std::move(f); }
    bool done() const { return m_next == m_steps.size() && !m_gaveUp; }

    QStringList shown;    // the text of every box, in order
    QStringList leftOver; // boxes no step answered

  private:
    struct Step {
        const char *what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void poll()
    {
        if (m_box.form() != m_lastForm) {
            m_lastForm = m_box.form();
            if (m_lastForm)
                shown << m_state.strMensagem;
        }
        if (m_acting)
            return;
        if (m_next < m_steps.size() && !::testing::Test::HasFailure()) {
            if (m_steps[m_next].ready()) {
                // A step may wait itself (a click that starts a flow) and the next
                // ones go on meanwhile: it runs from a timer of its own, as this
                // one fires again only once its call has returned.
                const std::function<void()> act = m_steps[m_next].act;
                ++m_next;
                m_acting = true;
                QTimer::singleShot(0, &m_timer, [this, act] {
                    m_acting = false;
                    m_since.restart();
                    act();
                });
                return;
            }
            if (m_since.elapsed() < 15000)
                return;
            ADD_FAILURE() << "never came: " << m_steps[m_next].what;
        }
        if (m_next < m_steps.size()) {
            m_next = m_steps.size();
            m_gaveUp = true;
            if (m_giveUp)
                m_giveUp();
        }
        if (messages::frmMensagem *f = m_box.form()) {
            leftOver << m_state.strMensagem;
            f->close();
        }
    }

    messages::SkinnedMessageBox &m_box;
    shell::SharedState &m_state;
    QTimer m_timer;
    QElapsedTimer m_since;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    bool m_gaveUp = false;
    bool m_acting = false; // a step was taken and has yet to start
    std::function<void()> m_giveUp;
    QPointer<messages::frmMensagem> m_lastForm;
};
