// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/MessageDialogs.h"

#include <QApplication>
#include <QPointer>

int MessageDlg(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons)
{
    // Owned by the active window, so it stays above it; held by a guarded pointer, because
    // that window might go away while the dialog is open.
    QPointer<TMessageForm> dialog =
        new TMessageForm(text, type, buttons, QApplication::activeWindow());
    const int result = dialog->exec();
    if (!dialog)
        return mrCancel;
    delete dialog.data();
    return result;
}

void ShowMessage(const QString &text)
{
    MessageDlg(text, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK});
}
