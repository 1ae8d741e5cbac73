// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TMessageForm.h"

#include "dialogs/HeldKeys.h"
#include "widgets/ReadableText.h"
#include "widgets/WindowLook.h"
#include "widgets/WrappingLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct ButtonInfo
{
    TMsgDlgBtn button;
    const char *caption;
    int result;
};

// In layout order, left to right.
constexpr std::array<ButtonInfo, 3> buttonTable = {{
    {TMsgDlgBtn::mbYes, "&Yes", mrYes},
    {TMsgDlgBtn::mbNo, "&No", mrNo},
    {TMsgDlgBtn::mbOK, "OK", mrOk},
}};

QString captionFor(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgDlgType::mtError:
        return QStringLiteral("Error");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom:
        break;
    }
    return QApplication::applicationDisplayName();
}

struct IconInfo
{
    bool present = false;
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
    const char *kind = "";
};

IconInfo iconFor(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return {true, QStyle::SP_MessageBoxWarning, "warning"};
    case TMsgDlgType::mtError:
        return {true, QStyle::SP_MessageBoxCritical, "critical"};
    case TMsgDlgType::mtInformation:
        return {true, QStyle::SP_MessageBoxInformation, "information"};
    case TMsgDlgType::mtConfirmation:
        return {true, QStyle::SP_MessageBoxQuestion, "question"};
    case TMsgDlgType::mtCustom:
        break;
    }
    return {};
}

// The letter after a single '&' of a button caption, or a null character.
QChar mnemonicOf(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) == u'&') {
            if (caption.at(i + 1) != u'&')
                return caption.at(i + 1).toLower();
            ++i;
        }
    }
    return QChar();
}

// A button's caption as it reads, without its mnemonic marker.
QString plainCaption(const QPushButton *button)
{
    return QString(button->text()).remove(u'&');
}

constexpr int iconSize = 32;

// The sizes of the layout, which follow the dialog font so that the layout scales with it:
// from the average width of a letter (cx) and the height of a line (cy), each product divided
// with rounding to the nearest whole pixel, halves away from zero.
struct Spacing
{
    explicit Spacing(const QFontMetrics &metrics)
        : cx(metrics.horizontalAdvance(
                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
             52),
          cy(metrics.height())
    {}

    // a × b / c
    static int mulDiv(int a, int b, int c)
    {
        return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
    }

    const int cx;
    const int cy;
    const int horzMargin = mulDiv(8, cx, 4);
    const int vertMargin = mulDiv(8, cy, 8);
    const int horzSpacing = mulDiv(10, cx, 4);
    const int vertSpacing = mulDiv(10, cy, 8);
    const int buttonWidth = mulDiv(50, cx, 4);
    const int buttonHeight = mulDiv(14, cy, 8);
    const int buttonSpacing = mulDiv(4, cx, 4);
};

} // namespace

TMessageForm::TMessageForm(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons,
                           QWidget *parent)
    : TMessageForm(captionFor(type), text, type, buttons, parent)
{}

TMessageForm::TMessageForm(const QString &caption, const QString &text, TMsgDlgType type,
                           const TMsgDlgButtons &buttons, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(caption);
    setModal(true);
    ignoreHeldKeys(this);

    // Shown as plain text without mnemonics: a child's name such as "Ani & Budi" must not
    // lose its "&" or underline a letter.
    m_text = new WrappingLabel(text, this);
    m_text->setObjectName(QStringLiteral("messageText"));
    // A screen reader reads the caption as the dialog's name, then the message.
    setAccessibleDescription(m_text->text());
    logReadable("dialog", windowTitle() + QStringLiteral(": ") + m_text->text());

    addIcon(type);
    addButtons(buttons);
    layOut();
    if (m_defaultButton) {
        m_defaultButton->setDefault(true);
        m_defaultButton->setFocus();
    } else if (!m_buttons.isEmpty()) {
        m_buttons.first()->setFocus();
    }
    WindowLook::centreOnScreen(this);
}

void TMessageForm::addIcon(TMsgDlgType type)
{
    const IconInfo icon = iconFor(type);
    setProperty("iconKind", QString::fromLatin1(icon.kind));
    if (!icon.present)
        return;
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("messageIcon"));
    m_icon->setPixmap(style()
                          ->standardIcon(icon.pixmap, nullptr, this)
                          .pixmap(QSize(iconSize, iconSize), devicePixelRatio()));
}

// The buttons present, in the fixed order; the default and the cancel button among them.
void TMessageForm::addButtons(const TMsgDlgButtons &buttons)
{
    for (const ButtonInfo &info : buttonTable) {
        if (!buttons.contains(info.button))
            continue;
        auto *button = new QPushButton(QString::fromLatin1(info.caption), this);
        button->setObjectName(QStringLiteral("button%1").arg(info.result));
        button->setAutoDefault(true);
        const int result = info.result;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        m_buttons.append(button);
    }
    const auto find = [this](int result) -> QPushButton * {
        return findChild<QPushButton *>(QStringLiteral("button%1").arg(result),
                                        Qt::FindDirectChildrenOnly);
    };
    m_defaultButton = find(mrOk) ? find(mrOk) : find(mrYes);
    m_cancelButton = find(mrNo) ? find(mrNo) : find(mrOk);
}

void TMessageForm::layOut()
{
    const QFontMetrics metrics(font());
    const Spacing spacing(metrics);

    // The text wrapped at half the screen width; beside the icon, when there is one.
    QScreen *where = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = where ? where->availableGeometry() : QRect(0, 0, 640, 480);
    const QSize textSize = m_text->sizeForWidth(std::max(screenArea.width() / 2, 1));
    const int textHeight = std::max(textSize.height(), spacing.cy);
    int blockWidth = textSize.width();
    int blockHeight = textHeight;
    if (m_icon) {
        blockWidth += iconSize + spacing.horzSpacing;
        blockHeight = std::max(blockHeight, iconSize);
        m_icon->setGeometry(spacing.horzMargin, spacing.vertMargin, iconSize, iconSize);
    }
    m_text->setGeometry(spacing.horzMargin + blockWidth - textSize.width(), spacing.vertMargin,
                        textSize.width(), textHeight);

    // The buttons all of one size; larger than the character size gives only where a caption
    // or the style's frame needs it.
    int buttonWidth = spacing.buttonWidth;
    int buttonHeight = spacing.buttonHeight;
    for (const QPushButton *button : std::as_const(m_buttons)) {
        buttonWidth = std::max(buttonWidth, metrics.horizontalAdvance(plainCaption(button)) +
                                                2 * spacing.horzMargin);
        buttonHeight = std::max(buttonHeight, button->sizeHint().height());
    }
    const auto count = static_cast<int>(m_buttons.size());
    const int rowWidth = count > 0 ? count * buttonWidth + (count - 1) * spacing.buttonSpacing : 0;
    // Never so narrow that a window manager cuts the caption ("Inf… ion").
    const int clientWidth = std::max(std::max(blockWidth, rowWidth) + 2 * spacing.horzMargin,
                                     WindowLook::captionWidth(this));
    const int rowTop = blockHeight + spacing.vertMargin + spacing.vertSpacing;
    int x = (clientWidth - rowWidth) / 2;
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->setGeometry(x, rowTop, buttonWidth, buttonHeight);
        x += buttonWidth + spacing.buttonSpacing;
    }
    WindowLook::makeFixedDialog(this,
                                QSize(clientWidth, rowTop + buttonHeight + spacing.vertMargin));
}

// As Windows' message boxes copy theirs: the caption, the text and the buttons' captions,
// between dashed lines.
QString TMessageForm::copiedText() const
{
    const QString rule(27, u'-');
    QString buttons;
    for (const QPushButton *button : m_buttons)
        buttons += plainCaption(button) + QStringLiteral("   ");
    return QStringList{rule, windowTitle(), rule, m_text->text(), rule, buttons, rule, QString()}
        .join(u'\n');
}

void TMessageForm::reject()
{
    done(mrCancel);
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(copiedText());
        return;
    }
    if (event->matches(QKeySequence::Cancel)) {
        if (m_cancelButton)
            m_cancelButton->click();
        return;
    }
    // As in classic dialogs, a button's underlined letter presses it also without Alt.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((modifiers == Qt::NoModifier || modifiers == Qt::AltModifier) &&
        event->text().size() == 1) {
        const QChar letter = event->text().at(0).toLower();
        for (QPushButton *button : std::as_const(m_buttons)) {
            if (button->isEnabled() && mnemonicOf(button->text()) == letter) {
                button->click();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A screen reader speaks a message as soon as it is up, as it does Windows' message boxes.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
