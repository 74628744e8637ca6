#pragma once

#include "messages/SkinnedMessageBox.h"
#include "messages/frmMensagem.h"

#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace zekotest {

// How long a box may stay open after the action that was to answer it, for
// what the action set going (a timer run early, say) to answer it.
inline constexpr int kLeftOpenGraceMs = 2000;

// Runs `action` on the box on top once it is open, from the event loop in which
// ExibeMensagem waits for it; the action is to answer the box. A box it leaves
// open would keep the waiting call, and so the test, from ever ending: after a
// failed check (a failed ASSERT leaves the action early) the box is closed at
// once, as the window manager would close it; one left open without a failure
// is a failure of its own and is closed after kLeftOpenGraceMs.
inline void whenOpen(messages::SkinnedMessageBox &box, std::function<void(messages::frmMensagem *)> action)
{
    QTimer::singleShot(50, [&box, action = std::move(action)] {
        const QPointer<messages::frmMensagem> form = box.form();
        ASSERT_TRUE(form) << "no box is open";
        action(form);
        if (!form || !form->isVisible())
            return;
        if (::testing::Test::HasFailure()) {
            form->close();
            return;
        }
        QTimer::singleShot(kLeftOpenGraceMs, form, [form] {
            if (!form->isVisible())
                return;
            ADD_FAILURE() << "the box was left unanswered";
            form->close();
        });
    });
}

} // namespace zekotest
