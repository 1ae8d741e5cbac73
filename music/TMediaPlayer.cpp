// SPDX-License-Identifier: GPL-3.0-or-later
#include "TMediaPlayer.h"

#include "Errors.h"

TMediaPlayer::TMediaPlayer(Mixer *mixer, QObject *parent) : QObject(parent), m_mixer(mixer) {}

TMediaPlayer::~TMediaPlayer()
{
    Close();
}

void TMediaPlayer::Open() {}

void TMediaPlayer::Close()
{
    m_opened = false;
}

void TMediaPlayer::Play()
{
    if (!m_opened)
        throw EMCIDeviceError(QStringLiteral("No MCI device open"));
}

void TMediaPlayer::Stop()
{
    if (!m_opened)
        throw EMCIDeviceError(QStringLiteral("No MCI device open"));
}

TMediaPlayer::TMPModes TMediaPlayer::Mode() const
{
    return TMPModes::mpNotReady;
}

void TMediaPlayer::setNotify(bool) {}
