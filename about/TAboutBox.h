// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

class BevelPanel;
class DesktopOpener;
class QLabel;
class QPushButton;
class SoundSink;

// Who made the program and how to reach and support them. The program's own values are build
// settings, so that whoever distributes it puts in their own.
struct MakerDetails
{
    QString email;
    QString homePage;
    QString bankBranch;
    QString account;

    // The values this build was configured with.
    static MakerDetails fromBuild();
};

// The about box: the program's name, version and purpose, the maker's e-mail address and
// home page as links, and a thank-you that a double-click on the picture turns into a
// donation request. Made for one showing; OK, Enter and the close box close it, Escape
// does not.
class TAboutBox : public QDialog
{
    Q_OBJECT
  public:
    // `sounds` plays the picture's sound, `opener` opens the links; both must outlive the box.
    TAboutBox(QWidget *owner, SoundSink &sounds, DesktopOpener &opener,
              MakerDetails maker = MakerDetails::fromBuild());

    static constexpr int clientWidth = 197;
    static constexpr int clientHeight = 200;

    // Controls, owned by the box.
    BevelPanel *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *Label1 = nullptr;   // the program's name
    QLabel *Version = nullptr;  // "Versi ..."
    QLabel *Comments = nullptr; // what the program is
    QLabel *Label4 = nullptr;   // the e-mail link
    QLabel *Label5 = nullptr;   // the home-page link
    QLabel *Thanks = nullptr;   // the thank-you, or the donation request
    QPushButton *OKButton = nullptr;

    // Handlers, public so that tests can call them as the mouse does.
    void FormCreate(QObject *sender);
    void Info(QObject *sender);
    void Label4Click(QObject *sender);
    void Label5Click(QObject *sender);

    // The texts the box shows in `Thanks`.
    QString thankYouText() const;
    QString donationText() const;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void createControls();
    void layOutTexts();
    void layOutThanks();

    SoundSink &m_sounds;
    DesktopOpener &m_opener;
    MakerDetails m_maker;
    QRect m_thanksArea; // where the thank-you or the donation request goes
    bool m_linkPressed = false;
};
