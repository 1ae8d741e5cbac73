// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ErrorGuard.h"
#include "dialogs/HeldKeys.h"
#include "widgets/ReadableText.h"
#include "widgets/WindowLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <cstdio>

void showErrorBox(const QString &message)
{
    // The full stop is always added, also after "!!": the program's messages are written
    // for it.
    const QString text = message + u'.';

    // Without a widget application there is nothing to show a box on (a console tool or a
    // test of plain logic): say it where a developer will see it instead of aborting.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }

    // A drag or a press held by a widget would otherwise keep the mouse while the box is up.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QPointer<QWidget> active = QApplication::activeWindow();

    // Application-modal: every other window of the program takes no input until it closes.
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("errorBox"));
    box.setWindowFlags(WindowLook::FixedDialogFlags);
    logReadable("dialog", box.windowTitle() + QStringLiteral(": ") + text);
    box.setTextFormat(Qt::PlainText);
    // The program's own face, as in its other dialogs: Windows has a face of its own for message
    // boxes, which Qt gives them unless told otherwise.
    box.setFont(WindowLook::makeFont(WindowLook::UiFace, WindowLook::UiPoints));
    box.setWindowModality(Qt::ApplicationModal);
    // One button: Enter presses it as the default, Escape as the escape button.
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    ok->setObjectName(QStringLiteral("button1"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(ok);
    box.setProperty("iconKind", QStringLiteral("critical"));
    ignoreHeldKeys(&box);
    box.exec();

    if (active)
        active->activateWindow();
}
