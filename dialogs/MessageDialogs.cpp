// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageDialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
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
constexpr std::array<ButtonInfo, 9> buttonTable = {{
    {TMsgDlgBtn::mbYes, "&Yes", mrYes},
    {TMsgDlgBtn::mbNo, "&No", mrNo},
    {TMsgDlgBtn::mbOK, "OK", mrOk},
    {TMsgDlgBtn::mbCancel, "Cancel", mrCancel},
    {TMsgDlgBtn::mbAbort, "&Abort", mrAbort},
    {TMsgDlgBtn::mbRetry, "&Retry", mrRetry},
    {TMsgDlgBtn::mbIgnore, "&Ignore", mrIgnore},
    {TMsgDlgBtn::mbAll, "&All", mrAll},
    {TMsgDlgBtn::mbHelp, "&Help", mrNone},
}};

// a × b / c rounded to the nearest whole number, halves away from zero.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

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

// The painter breaks lines at '\n' only; a CR of a CR LF pair would show as a stray glyph.
QString withPlainLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
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

constexpr int iconSize = 32;

} // namespace

TMessageForm::TMessageForm(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons,
                           QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(captionFor(type));
    setModal(true);

    // Sizes follow the dialog font, so that the layout scales with it.
    const QFontMetrics metrics(font());
    const int cx = metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                   52;
    const int cy = metrics.height();
    const int horzMargin = mulDiv(8, cx, 4);
    const int vertMargin = mulDiv(8, cy, 8);
    const int horzSpacing = mulDiv(10, cx, 4);
    const int vertSpacing = mulDiv(10, cy, 8);
    int buttonWidth = mulDiv(50, cx, 4);
    int buttonHeight = mulDiv(14, cy, 8);
    const int buttonSpacing = mulDiv(4, cx, 4);

    QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    const int wrapWidth = std::max(screenArea.width() / 2, 1);

    // The text block: wrapped at half the screen width, never narrower than a long word.
    const QString shown = withPlainLineBreaks(text);
    const int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QRect textRect = metrics.boundingRect(QRect(0, 0, wrapWidth, 0), textFlags, shown);
    textRect.setHeight(std::max(textRect.height(), cy));
    const int textWidth = textRect.width();
    const int textHeight = textRect.height();

    const IconInfo icon = iconFor(type);
    setProperty("iconKind", QString::fromLatin1(icon.kind));
    int blockWidth = textWidth;
    int blockHeight = textHeight;
    if (icon.present) {
        blockWidth += iconSize + horzSpacing;
        blockHeight = std::max(blockHeight, iconSize);
        auto *iconLabel = new QLabel(this);
        iconLabel->setObjectName(QStringLiteral("messageIcon"));
        iconLabel->setPixmap(style()
                                 ->standardIcon(icon.pixmap, nullptr, this)
                                 .pixmap(QSize(iconSize, iconSize), devicePixelRatio()));
        iconLabel->setGeometry(horzMargin, vertMargin, iconSize, iconSize);
    }

    // Shown as plain text without mnemonics: a child's name such as "Ani & Budi" must not
    // lose its "&" or underline a letter.
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("messageText"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(shown);
    label->setGeometry(horzMargin + blockWidth - textWidth, vertMargin, textWidth, textHeight);

    // The buttons present, in the fixed order, all of one size; larger than the character
    // size gives only where a caption or the style's frame needs it.
    for (const ButtonInfo &info : buttonTable) {
        if (!buttons.contains(info.button))
            continue;
        auto *button = new QPushButton(QString::fromLatin1(info.caption), this);
        button->setObjectName(QStringLiteral("button%1").arg(info.result));
        button->setAutoDefault(true);
        const QString plainCaption = QString(button->text()).remove(u'&');
        buttonWidth =
            std::max(buttonWidth, metrics.horizontalAdvance(plainCaption) + 2 * horzMargin);
        buttonHeight = std::max(buttonHeight, button->sizeHint().height());
        m_buttons.append(button);
        if (info.button == TMsgDlgBtn::mbHelp) {
            connect(button, &QPushButton::clicked, this, &TMessageForm::helpRequested);
        } else {
            const int result = info.result;
            connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
        }
    }
    const auto find = [this](int result) -> QPushButton * {
        return findChild<QPushButton *>(QStringLiteral("button%1").arg(result),
                                        Qt::FindDirectChildrenOnly);
    };
    for (int result : {mrOk, mrYes, mrRetry}) {
        if ((m_defaultButton = find(result)))
            break;
    }
    for (int result : {mrCancel, mrNo, mrOk}) {
        if ((m_cancelButton = find(result)))
            break;
    }

    const auto count = static_cast<int>(m_buttons.size());
    const int rowWidth = count > 0 ? count * buttonWidth + (count - 1) * buttonSpacing : 0;
    const int clientWidth = std::max(blockWidth, rowWidth) + 2 * horzMargin;
    const int clientHeight = blockHeight + buttonHeight + vertSpacing + 2 * vertMargin;
    int x = (clientWidth - rowWidth) / 2;
    const int rowTop = blockHeight + vertMargin + vertSpacing;
    for (QPushButton *button : std::as_const(m_buttons)) {
        button->setGeometry(x, rowTop, buttonWidth, buttonHeight);
        x += buttonWidth + buttonSpacing;
    }
    setFixedSize(clientWidth, clientHeight);

    if (m_defaultButton) {
        m_defaultButton->setDefault(true);
        m_defaultButton->setFocus();
    } else if (!m_buttons.isEmpty()) {
        m_buttons.first()->setFocus();
    }
    move(screenArea.center() - rect().center());
}

void TMessageForm::reject()
{
    done(mrCancel);
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
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
