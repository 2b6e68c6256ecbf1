// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "testsupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace TestSupport {

// Runs `answer` on the modal dialog of type T that the call made right after this opens, and
// on nothing else. The answer only acts and notes what it saw: a check failing in there would
// leave the dialog open and the test hanging. It runs again while the dialog stays open, since a
// file dialog may still be loading its folder and refuse the first accept.
template <typename T> void answerDialog(const std::function<void(T *)> &answer)
{
    auto *timer = new QTimer;
    auto dialog = std::make_shared<QPointer<T>>();
    auto seen = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, dialog, seen] {
        if (!*seen) {
            *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            *seen = !dialog->isNull();
            if (!*seen)
                return;
        }
        if (dialog->isNull() || !(*dialog)->isVisible()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        answer(*dialog);
    });
    timer->start(10);
}

// Answers the file dialog that the call made right after this opens with `path`.
inline void chooseInFileDialog(const QString &path)
{
    answerDialog<QFileDialog>([path](QFileDialog *dialog) { answerFileDialog(dialog, path); });
}

} // namespace TestSupport
