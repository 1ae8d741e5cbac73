// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/TMediaPlayer.h"

#include "core/Errors.h"
#include "music/MusicTexts.h"
#include "platform/portable/MusicDevice.h"

#include <QLoggingCategory>

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcMediaPlayer, "numbelo.music.player", QtWarningMsg)

namespace {
const QString noDeviceOpen = QStringLiteral("No MCI device open");
const QString unknownErrorCode = QStringLiteral("Unknown error code");

// The error text for `problem`; "Unknown error code" where the system gave no words for it.
QString textOf(const MusicProblem &problem)
{
    const QString text = musicProblemText(problem);
    return text.isEmpty() ? unknownErrorCode : text;
}

unsigned nextDeviceId()
{
    static unsigned last = 0;
    return ++last;
}
} // namespace

TMediaPlayer::TMediaPlayer(MusicSystem &music, QObject *parent) : QObject(parent), m_music(music) {}

TMediaPlayer::~TMediaPlayer()
{
    // No notification now: nobody is left to receive it.
    m_playWaitsForEnd = false;
    closeDevice();
}

bool TMediaPlayer::takeNotify(bool byDefault)
{
    const bool notify = m_notifyMarked ? m_notify : byDefault;
    m_notifyMarked = false;
    return notify;
}

void TMediaPlayer::setNotify(bool notify)
{
    m_notify = notify;
    m_notifyMarked = true;
}

void TMediaPlayer::Open()
{
    const bool notify = takeNotify(false);
    Close();
    std::unique_ptr<MusicDevice> device = m_music.makeDevice();
    if (const MusicProblem problem = device->open(FileName)) {
        const QString text = textOf(problem);
        qCInfo(lcMediaPlayer) << "the music device did not open:" << text;
        throw EMCIDeviceError(text);
    }
    device->setEndHandler([this] { pieceEnded(); });
    device->setFailureHandler([this](const MusicProblem &reason) { loadFailed(reason); });
    m_device = std::move(device);
    m_opened = true;
    m_deviceId = nextDeviceId();
    m_errorMessage.clear();
    if (notify)
        postNotify(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::Close()
{
    endPendingPlay(TMPNotifyValues::nvAborted);
    closeDevice();
}

void TMediaPlayer::closeDevice()
{
    m_device.reset();
    m_opened = false;
    m_deviceId = 0;
}

void TMediaPlayer::Play()
{
    if (!m_opened)
        throw EMCIDeviceError(noDeviceOpen);
    // Without what it needs to play at all (its synthesizer), the device cannot play.
    if (const MusicProblem problem = m_device->prepare()) {
        const QString text = textOf(problem);
        qCWarning(lcMediaPlayer) << "music command failed:" << text;
        throw EMCIDeviceError(text);
    }
    const bool notify = takeNotify(true);
    endPendingPlay(TMPNotifyValues::nvSuperseded);
    if (const MusicProblem problem = m_device->play(AutoRewind)) {
        keepError(textOf(problem));
        return;
    }
    m_errorMessage.clear();
    m_playWaitsForEnd = notify;
}

void TMediaPlayer::Stop()
{
    if (!m_opened)
        throw EMCIDeviceError(noDeviceOpen);
    const bool notify = takeNotify(false);
    endPendingPlay(TMPNotifyValues::nvAborted);
    if (const MusicProblem problem = m_device->stop()) {
        keepError(textOf(problem));
        return;
    }
    m_errorMessage.clear();
    if (notify)
        postNotify(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::keepError(const QString &message)
{
    m_errorMessage = message;
    qCWarning(lcMediaPlayer) << "music command failed:" << m_errorMessage;
}

TMediaPlayer::TMPModes TMediaPlayer::Mode() const
{
    if (!m_opened)
        return TMPModes::mpNotReady;
    return m_device->isPlaying() ? TMPModes::mpPlaying : TMPModes::mpStopped;
}

int TMediaPlayer::Position() const
{
    return m_opened ? m_device->position() : 0;
}

int TMediaPlayer::Length() const
{
    return m_opened ? m_device->length() : 0;
}

void TMediaPlayer::endPendingPlay(TMPNotifyValues value)
{
    if (!m_playWaitsForEnd)
        return;
    m_playWaitsForEnd = false;
    postNotify(value);
}

void TMediaPlayer::postNotify(TMPNotifyValues value)
{
    QMetaObject::invokeMethod(
        this, [this, value] { deliverNotify(value); }, Qt::QueuedConnection);
}

void TMediaPlayer::deliverNotify(TMPNotifyValues value)
{
    m_notifyValue = value;
    if (OnNotify)
        OnNotify(this);
}

// Already on the window's thread, through its event queue.
void TMediaPlayer::pieceEnded()
{
    if (!m_playWaitsForEnd)
        return;
    m_playWaitsForEnd = false;
    deliverNotify(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::loadFailed(const MusicProblem &reason)
{
    keepError(textOf(reason));
    if (!m_playWaitsForEnd)
        return;
    m_playWaitsForEnd = false;
    deliverNotify(TMPNotifyValues::nvFailure);
}

void TMediaPlayer::WaitForInstruments()
{
    if (m_device)
        m_device->waitUntilReady();
}
