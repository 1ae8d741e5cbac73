// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class WrappingLabel;

// The one frame of every message the program shows: the plain message, the lesson report, the
// offer to learn again, and the error box. It is laid out from the dialog font's character
// size, like the classic message dialog: an optional 32 × 32 stock icon, the text wrapped at
// half the screen width, and one centred row of equally wide buttons in a fixed order. It is
// application-modal and a fixed dialog with the program's icon; a key held down presses none
// of its buttons; a screen reader reads its caption as its name and its text as its
// description, and the same goes to the log (widgets/ReadableText.h). Ctrl+C copies its caption,
// text and buttons, as Windows' message boxes do.
//
// Object names, for tests and tools: the dialog is "messageDialog" (the error box: "errorBox"),
// its text label "messageText", its icon label "messageIcon" (absent without an icon), and each
// button "button<result>" ("button1" is OK, "button6" Yes, "button7" No). The dialog's
// "iconKind" property is "warning", "critical", "information", "question" or "".

enum class TMsgDlgType
{
    mtWarning,
    mtError,
    mtInformation,
    mtConfirmation,
    mtCustom
};

// The buttons the program's dialogs have: OK on the messages and the report, Yes and No on the
// offer to learn again. In the order they are laid out, left to right.
enum class TMsgDlgBtn
{
    mbYes,
    mbNo,
    mbOK
};

// A set of buttons: order and repeats do not matter.
using TMsgDlgButtons = QList<TMsgDlgBtn>;

// What a dialog returns: the result of the button pressed; mrCancel when it is closed by its
// title bar's close box or Alt+F4.
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

class TMessageForm : public QDialog
{
    Q_OBJECT
  public:
    // A dialog of the given type: its caption and icon are the type's. The text is shown exactly
    // as given ("&" included); its line breaks start new lines. Enter presses the default
    // button (OK, else Yes); Escape presses the cancel button (No, else OK).
    TMessageForm(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons,
                 QWidget *parent = nullptr);
    // The same with a caption of its own instead of the type's.
    TMessageForm(const QString &caption, const QString &text, TMsgDlgType type,
                 const TMsgDlgButtons &buttons, QWidget *parent = nullptr);

    // Closing the dialog without a button returns mrCancel.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void addIcon(TMsgDlgType type);
    void addButtons(const TMsgDlgButtons &buttons);
    void layOut();
    QString copiedText() const;

    WrappingLabel *m_text = nullptr;
    QLabel *m_icon = nullptr; // null without an icon
    QList<QPushButton *> m_buttons;
    // The button Enter presses, and the one Escape presses; either may be null.
    QPushButton *m_defaultButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
