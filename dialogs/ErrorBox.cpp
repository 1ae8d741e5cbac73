// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ErrorBox.h"

#include "dialogs/TMessageForm.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <cstdio>

void showErrorBox(const QString &message)
{
    // The full stop is always added, also after "!!": the program's messages are written
    // for it.
    const QString text = message + u'.';

    // Without a widget application there is nothing to show a box on: say it where a developer
    // will see it instead of aborting.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }

    // A drag or a press held by a widget would otherwise keep the mouse while the box is up.
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QPointer<QWidget> active = QApplication::activeWindow();

    // Owned by no window: an error may come while the main window is being made or taken down.
    TMessageForm box(QApplication::applicationDisplayName(), text, TMsgDlgType::mtError,
                     {TMsgDlgBtn::mbOK});
    box.setObjectName(QStringLiteral("errorBox"));
    box.exec();

    if (active)
        active->activateWindow();
}
