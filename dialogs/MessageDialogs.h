// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;

// The program's modal message dialogs: the plain message and the typed dialogs of the
// lesson report. Each is laid out from the dialog font's character size, like the classic
// message dialog: an optional 32 × 32 stock icon, the text wrapped at half the screen width,
// and one centred row of equally wide buttons in a fixed order.
//
// Object names, for tests and tools: the dialog is "messageDialog", its text label
// "messageText", its icon label "messageIcon" (absent without an icon), and each button
// "button<result>" ("button6" is Yes, "button1" is OK, Help is "button0"). The dialog's
// "iconKind" property is "warning", "critical", "information", "question" or "".

enum class TMsgDlgType
{
    mtWarning,
    mtError,
    mtInformation,
    mtConfirmation,
    mtCustom
};

// In the order the buttons are laid out, left to right.
enum class TMsgDlgBtn
{
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbHelp
};

// A set of buttons: order and repeats do not matter.
using TMsgDlgButtons = QList<TMsgDlgBtn>;

// What a dialog returns: the result of the button pressed; mrCancel also when it is closed
// by its title bar's close box or Alt+F4.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
inline constexpr int mrAll = 8;

// Shows `text` in a modal dialog of the given type with the given buttons and returns the
// result of the button pressed. Enter presses the default button (OK, else Yes, else Retry);
// Escape presses the cancel button (Cancel, else No, else OK). The text is shown exactly as
// given ("&" included); its line breaks start new lines.
int MessageDlg(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons);

// The plain message: the program's title as caption, no icon, one OK button that both
// Enter and Escape press.
void ShowMessage(const QString &text);

// The dialog behind MessageDlg, for showing it some other way than modally from code.
class TMessageForm : public QDialog
{
    Q_OBJECT
  public:
    TMessageForm(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons,
                 QWidget *parent = nullptr);

    // Closing the dialog without a button returns mrCancel.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // The button Enter presses, and the one Escape presses; either may be null.
    QPushButton *m_defaultButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QList<QPushButton *> m_buttons;
};
