// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/MessageDialogs.h"

#include "dialogs/HeldKeys.h"
#include "widgets/ReadableText.h"
#include "widgets/WindowLook.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
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

// Every kind of line break becomes '\n': a CR of a CR LF pair would show as a stray glyph.
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

// The message text: plain text, no mnemonics, wrapped at word boundaries, and a word too
// long for a line (a name typed without spaces) broken inside it rather than run off the
// dialog. QLabel's own plain-text wrapping never breaks a word, hence the own layout.
class MessageText : public QLabel
{
  public:
    explicit MessageText(const QString &text, QWidget *parent) : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
    }

    // The size of the text with lines at most `maxWidth` wide.
    QSize sizeForWidth(int maxWidth) const
    {
        QTextLayout layout(displayText(), font(), this);
        const qreal height = doLayout(layout, maxWidth);
        qreal width = 0;
        for (int i = 0; i < layout.lineCount(); ++i)
            width = std::max(width, layout.lineAt(i).naturalTextWidth());
        return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return sizeForWidth(width).height(); }

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        QTextLayout layout(displayText(), font(), this);
        doLayout(layout, width());
        layout.draw(&painter, QPointF(0, 0));
    }

  private:
    // Line breaks in the text start new lines.
    QString displayText() const
    {
        QString shown = text();
        shown.replace(u'\n', QChar::LineSeparator);
        return shown;
    }

    static qreal doLayout(QTextLayout &layout, int maxWidth)
    {
        QTextOption option(Qt::AlignLeft | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        qreal y = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxWidth);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout.endLayout();
        return y;
    }
};

} // namespace

TMessageForm::TMessageForm(const QString &text, TMsgDlgType type, const TMsgDlgButtons &buttons,
                           QWidget *parent)
    : QDialog(parent, WindowLook::FixedDialogFlags)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(captionFor(type));
    setModal(true);
    ignoreHeldKeys(this);

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

    // Shown as plain text without mnemonics: a child's name such as "Ani & Budi" must not
    // lose its "&" or underline a letter. Wrapped at half the screen width.
    auto *label = new MessageText(withPlainLineBreaks(text), this);
    label->setObjectName(QStringLiteral("messageText"));
    // A screen reader reads the caption as the dialog's name, then the message.
    setAccessibleDescription(label->text());
    logReadable("dialog", windowTitle() + QStringLiteral(": ") + label->text());
    const QSize textSize = label->sizeForWidth(wrapWidth);
    const int textWidth = textSize.width();
    const int textHeight = std::max(textSize.height(), cy);

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
        // Help has nothing to show: pressing it leaves the dialog open.
        if (info.button != TMsgDlgBtn::mbHelp) {
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
    // Never so narrow that a window manager cuts the caption ("Inf… ion").
    const int clientWidth =
        std::max(std::max(blockWidth, rowWidth) + 2 * horzMargin, WindowLook::captionWidth(this));
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
    WindowLook::centreOnScreen(this);
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
