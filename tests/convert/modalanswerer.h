// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// What a message box showed when it was answered.
struct BoxSeen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QString informative;
    QString detailed;
    QStringList buttons;
};

inline QString plainButtonText(const QAbstractButton *button)
{
    if (!button)
        return QString();
    return button->text().remove(QLatin1Char('&'));
}

// The modal as the class a test expects; any other dialog is rejected and fails the test, so that
// a wrong turn neither hangs nor crashes it.
template <typename T> T *modalAs(QWidget *modal)
{
    auto *typed = qobject_cast<T *>(modal);
    if (!typed) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1").arg(modal->metaObject()->className())),
            __FILE__, __LINE__);
    }
    return typed;
}

inline BoxSeen describeBox(QMessageBox *box)
{
    if (!box)
        return BoxSeen();
    BoxSeen seen;
    seen.icon = box->icon();
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.informative = box->informativeText();
    seen.detailed = box->detailedText();
    const auto buttons = box->buttons();
    for (const QAbstractButton *button : buttons)
        seen.buttons.append(plainButtonText(button));
    return seen;
}

// The visible button of a dialog whose text (without mnemonics) is `text`, or null.
inline QAbstractButton *findButton(QWidget *dialog, const QString &text)
{
    const auto buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (plainButtonText(button) == text)
            return button;
    }
    return nullptr;
}

inline void clickButton(QWidget *dialog, const QString &text)
{
    QAbstractButton *button = findButton(dialog, text);
    if (!button) {
        // Closed all the same, so that the wrong dialog fails the test rather than hanging it.
        if (auto *modal = qobject_cast<QDialog *>(dialog))
            modal->reject();
        QFAIL(qPrintable(
            QStringLiteral("no button \"%1\" in %2").arg(text, dialog->metaObject()->className())));
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

// Answers modal dialogs as they open, with one handler per dialog in order. A dialog nobody
// expected is recorded and rejected, so a wrong turn fails the test instead of hanging it.
class ModalAnswerer {
public:
    using Handler = std::function<void(QWidget *)>;

    explicit ModalAnswerer(QList<Handler> handlers = {})
        : handlers(std::move(handlers))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(10);
    }

    int answered() const { return next; }
    QStringList unexpected;

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || handled.contains(modal))
            return;
        handled.append(modal);
        if (next < handlers.size()) {
            QPointer<QWidget> answeredModal(modal);
            handlers[next++](modal);
            // Every answer closes its dialog at once; one left open would never be answered.
            if (answeredModal && answeredModal->isVisible()) {
                unexpected.append(QStringLiteral("left open: ") + title(answeredModal));
                close(answeredModal);
            }
            return;
        }
        unexpected.append(title(modal));
        close(modal);
    }

    static QString title(QWidget *modal)
    {
        auto *box = qobject_cast<QMessageBox *>(modal);
        return QString::fromLatin1(modal->metaObject()->className()) + QStringLiteral(": ")
            + (box ? box->text() : modal->windowTitle());
    }

    static void close(QWidget *modal)
    {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }

    QTimer timer;
    QList<Handler> handlers;
    qsizetype next = 0;
    QList<QPointer<QWidget>> handled;
};
