// SPDX-License-Identifier: GPL-3.0-or-later
// The background music: opened when the window is created, switched on and off from the menu,
// started again each time the piece ends.
#include "Main.h"
#include "TMediaPlayer.h"
#include "TfoMain.h"

#include <QAction>

void TfoMain::openMusic()
{
    MediaPlayer1->FileName = AppDir + QStringLiteral("sound/zamba.mid");
    MediaPlayer1->Open();
}

void TfoMain::PlayMusic(QObject *)
{
    if (MediaPlayer1->Mode() == TMediaPlayer::TMPModes::mpPlaying) {
        Hidupkanmusik->setText(QStringLiteral("&Hidupkan musik"));
        MediaPlayer1->setNotify(false);
        MediaPlayer1->Stop();
    } else {
        Hidupkanmusik->setText(QStringLiteral("&Matikan musik"));
        MediaPlayer1->Play();
        MediaPlayer1->setNotify(true);
    }
}

void TfoMain::MediaPlayer1Notify(QObject *)
{
    if (MediaPlayer1->NotifyValue() == TMediaPlayer::TMPNotifyValues::nvSuccessful)
        MediaPlayer1->Play();
}
