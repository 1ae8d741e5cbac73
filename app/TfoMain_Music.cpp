// SPDX-License-Identifier: GPL-3.0-or-later
// The background music: opened when the window is created, switched on and off from the menu,
// started again each time the piece ends.
#include "app/TfoMain.h"
#include "music/TMediaPlayer.h"
#include "platform/portable/ProgramFolders.h"
#include "widgets/ReadableText.h"

#include <QAction>
#include <QDir>

namespace {
const QString musicFile = QStringLiteral("zamba.mid");
}

void TfoMain::openMusic()
{
    // Beside the program first, then in the installed data folder; when neither has the
    // tune, the error names the place beside the program.
    const QString found = m_services.folders.soundFile(musicFile);
    MediaPlayer1->FileName = QDir::toNativeSeparators(
        found.isEmpty() ? AppDir() + QStringLiteral("sound/") + musicFile : found);
    MediaPlayer1->Open();
}

void TfoMain::PlayMusic(QObject *)
{
    // A device that never opened is not ready. It takes the switching-off branch, so that the
    // caption says the music is off while Stop reports the missing device.
    const TMediaPlayer::TMPModes mode = MediaPlayer1->Mode();
    if (mode == TMediaPlayer::TMPModes::mpPlaying || mode == TMediaPlayer::TMPModes::mpNotReady) {
        Hidupkanmusik->setText(QStringLiteral("&Hidupkan musik"));
        MediaPlayer1->setNotify(false);
        MediaPlayer1->Stop();
    } else {
        Hidupkanmusik->setText(QStringLiteral("&Matikan musik"));
        try {
            MediaPlayer1->Play();
        } catch (...) {
            // A device that cannot play (its synthesizer is missing) leaves the music off, like
            // one that is not ready; the error box says why.
            Hidupkanmusik->setText(QStringLiteral("&Hidupkan musik"));
            throw;
        }
        MediaPlayer1->setNotify(true);
    }
    logReadable("menu", Hidupkanmusik->text());
}

void TfoMain::MediaPlayer1Notify(QObject *)
{
    if (MediaPlayer1->NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful)
        MediaPlayer1->Play();
}
