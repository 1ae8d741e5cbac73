// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/TAboutBox.h"

#include "core/SoundEvents.h"
#include "dialogs/ErrorGuard.h"
#include "dialogs/HeldKeys.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/SoundSink.h"
#include "widgets/BevelPanel.h"
#include "widgets/Png.h"
#include "widgets/TextFit.h"
#include "widgets/WindowLook.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

namespace {
// The layout, in pixels; the panel's controls relative to the panel.
const QRect panelRect(5, 8, 187, 155);
const QRect iconRect(8, 8, 50, 50);
const QRect okButtonRect(63, 170, 75, 25);
const QPoint nameAt(78, 5);
const QPoint emailAt(25, 65);
const QPoint homePageAt(36, 85);
// Text stays this far inside the panel's edges, clear of its two bevels.
constexpr int panelMargin = 6;

const QColor maroon(128, 0, 0);

QLabel *makeLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

MakerDetails MakerDetails::fromBuild()
{
    return {QString::fromUtf8(NUMBELO_MAKER_EMAIL), QString::fromUtf8(NUMBELO_MAKER_HOMEPAGE),
            QString::fromUtf8(NUMBELO_DONATION_BANK), QString::fromUtf8(NUMBELO_DONATION_ACCOUNT)};
}

TAboutBox::TAboutBox(QWidget *owner, SoundSink &sounds, DesktopOpener &opener, MakerDetails maker)
    : QDialog(owner), m_sounds(sounds), m_opener(opener), m_maker(std::move(maker))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    WindowLook::makeFixedDialog(this, QSize(clientWidth, clientHeight));
    setFont(WindowLook::makeFont(WindowLook::UiFace, WindowLook::UiPoints));
    WindowLook::setTextColour(this, maroon);
    ignoreHeldKeys(this);

    createControls();
    FormCreate(this);
}

void TAboutBox::createControls()
{
    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(panelRect);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(iconRect);
    // Stretched without smoothing, so the small picture keeps its crisp pixels.
    const QPixmap picture = QPixmap::fromImage(loadPng(QStringLiteral(":/images/about_icon.png")));
    if (!picture.isNull()) {
        ProgramIcon->setPixmap(
            picture.scaled(iconRect.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    ProgramIcon->installEventFilter(this);

    Label1 = makeLabel("Label1", QStringLiteral("Numbelo"), Panel1);
    Label1->setFont(WindowLook::makeFont(WindowLook::TitleFace, 12, true));
    Label1->setAlignment(Qt::AlignCenter);
    WindowLook::setTextColour(Label1, Qt::red);

    Version =
        makeLabel("Version", QStringLiteral("Versi ") + QStringLiteral(NUMBELO_VERSION), Panel1);

    Comments = makeLabel("Comments", QStringLiteral("Latihan berhitung untuk anak SD"), Panel1);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    QFont linkFont = font();
    linkFont.setUnderline(true);
    Label4 = makeLabel("Label4", QStringLiteral("email: ") + m_maker.email, Panel1);
    Label5 = makeLabel("Label5", m_maker.homePage, Panel1);
    for (QLabel *link : {Label4, Label5}) {
        link->setFont(linkFont);
        WindowLook::setTextColour(link, Qt::blue);
        link->installEventFilter(this);
    }
    // A build without an address has no link to offer.
    Label4->setVisible(!m_maker.email.isEmpty());
    Label5->setVisible(!m_maker.homePage.isEmpty());

    Thanks = makeLabel("Thanks", thankYouText(), Panel1);
    Thanks->setWordWrap(true);
    Thanks->setAlignment(Qt::AlignCenter);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(okButtonRect);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    layOutTexts();
}

void TAboutBox::layOutTexts()
{
    // A text too long for the panel moves left, then is set smaller, then shortened (the
    // maker's details are whatever the distributor put in).
    const int right = panelRect.width() - panelMargin;
    TextFit::placeLine(Label1, nameAt, panelMargin, right);
    TextFit::placeLine(Version, QPoint(nameAt.x(), Label1->geometry().bottom() + 3), panelMargin,
                       right);
    TextFit::placeLine(Label4, emailAt, panelMargin, right);
    TextFit::placeLine(Label5, homePageAt, panelMargin, right);
    // Below the links, across the panel: what the program is, then the thank-you.
    const int width = right - panelMargin;
    TextFit::placeBlock(Comments,
                        QRect(panelMargin, Label5->geometry().bottom() + 3, width, 1 << 16));
    m_thanksArea = QRect(panelMargin, Comments->geometry().bottom() + 3, width, 0);
    m_thanksArea.setBottom(panelRect.height() - panelMargin / 2 - 1);
    layOutThanks();
}

void TAboutBox::layOutThanks()
{
    QRect area = m_thanksArea;
    Thanks->setFont(font());
    if (!TextFit::shrinkToFit(Thanks, area.size())) {
        // A donation request with a long bank name also takes the description's place.
        Comments->hide();
        area.setTop(Comments->geometry().top());
        Thanks->setFont(font());
        TextFit::shrinkToFit(Thanks, area.size());
    }
    Thanks->setGeometry(area);
}

void TAboutBox::FormCreate(QObject *)
{
    // The pointing hand over the two links, its hot spot at the fingertip in the top-left
    // corner.
    const QPixmap hand = QPixmap::fromImage(loadPng(QStringLiteral(":/images/handpnt.png")));
    const QCursor handCursor =
        hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 0, 0);
    Label4->setCursor(handCursor);
    Label5->setCursor(handCursor);
}

QString TAboutBox::thankYouText() const
{
    return QStringLiteral("Terima kasih telah memakai Numbelo!");
}

QString TAboutBox::donationText() const
{
    // A build without an account to name has nothing to ask for.
    if (m_maker.account.isEmpty())
        return thankYouText();
    return QStringLiteral("Mohon donasi ke %1, rek. %2.").arg(m_maker.bankBranch, m_maker.account);
}

void TAboutBox::Info(QObject *)
{
    m_sounds.playSound(SoundEvents::DonationAsked.file());
    Thanks->setText(donationText());
    layOutThanks();
}

void TAboutBox::Label4Click(QObject *)
{
    m_opener.openUrl(QUrl(QStringLiteral("mailto:") + m_maker.email));
}

void TAboutBox::Label5Click(QObject *)
{
    m_opener.openUrl(QUrl::fromUserInput(m_maker.homePage));
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    const auto isLeftButton = [event] {
        return static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    };
    if (watched == ProgramIcon && event->type() == QEvent::MouseButtonDblClick && isLeftButton()) {
        guarded([this] { Info(ProgramIcon); });
        return true;
    }
    if (watched == Label4 || watched == Label5) {
        // A click is a press and a release of the left button on the same link.
        auto *link = static_cast<QLabel *>(watched);
        if (event->type() == QEvent::MouseButtonPress && isLeftButton()) {
            m_linkPressed = true;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease && isLeftButton()) {
            const bool clicked =
                m_linkPressed &&
                link->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
            m_linkPressed = false;
            if (clicked && link == Label4)
                guarded([this] { Label4Click(Label4); });
            else if (clicked)
                guarded([this] { Label5Click(Label5); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    // The box has no cancel button, so Escape leaves it open.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    WindowLook::centreOnScreen(this);
}
