// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/TMediaPlayer.h"

#include "core/Errors.h"
#include "platform/linux/MidiSequencer.h"
#include "platform/portable/ProgramFolders.h"

namespace {
const QString noDeviceOpen = QStringLiteral("No MCI device open");
const QString unknownErrorCode = QStringLiteral("Unknown error code");

QString orUnknown(const QString &message)
{
    return message.isEmpty() ? unknownErrorCode : message;
}

unsigned nextDeviceId()
{
    static unsigned last = 0;
    return ++last;
}
} // namespace

TMediaPlayer::TMediaPlayer(Mixer *mixer, QObject *parent) : QObject(parent), m_mixer(mixer) {}

TMediaPlayer::~TMediaPlayer()
{
    // No notification now: nobody is left to receive it.
    m_playWaitsForEnd = false;
    closeDevice();
}

QStringList TMediaPlayer::soundFontSearchPath() const
{
    if (!m_soundFonts.isEmpty())
        return m_soundFonts;
    return ProgramFolders().soundFontCandidates();
}

QString TMediaPlayer::soundFont() const
{
    return m_sequencer ? m_sequencer->soundFont() : QString();
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
    auto sequencer = std::make_unique<MidiSequencer>(m_mixer);
    QString error;
    if (!sequencer->open(FileName, soundFontSearchPath(), &error)) {
        qCInfo(lcMusic) << "the music device did not open:" << error;
        throw EMCIDeviceError(orUnknown(error));
    }
    sequencer->setEndHandler([this] { pieceEnded(); });
    sequencer->setFailureHandler([this](const QString &reason) { loadFailed(reason); });
    m_sequencer = std::move(sequencer);
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
    m_sequencer.reset();
    m_opened = false;
    m_deviceId = 0;
}

void TMediaPlayer::Play()
{
    if (!m_opened)
        throw EMCIDeviceError(noDeviceOpen);
    QString error;
    // Without its synthesizer the device cannot play at all.
    if (!m_sequencer->loadSynthesizer(&error)) {
        qCWarning(lcMusic) << "music command failed:" << error;
        throw EMCIDeviceError(orUnknown(error));
    }
    const bool notify = takeNotify(true);
    endPendingPlay(TMPNotifyValues::nvSuperseded);
    if (!m_sequencer->play(AutoRewind, &error)) {
        keepError(error);
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
    QString error;
    if (!m_sequencer->stop(&error)) {
        keepError(error);
        return;
    }
    m_errorMessage.clear();
    if (notify)
        postNotify(TMPNotifyValues::nvSuccessful);
}

void TMediaPlayer::keepError(const QString &message)
{
    m_errorMessage = orUnknown(message);
    qCWarning(lcMusic) << "music command failed:" << m_errorMessage;
}

TMediaPlayer::TMPModes TMediaPlayer::Mode() const
{
    if (!m_opened)
        return TMPModes::mpNotReady;
    return m_sequencer->isPlaying() ? TMPModes::mpPlaying : TMPModes::mpStopped;
}

int TMediaPlayer::Position() const
{
    return m_opened ? m_sequencer->position() : 0;
}

int TMediaPlayer::Length() const
{
    return m_opened ? m_sequencer->length() : 0;
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

void TMediaPlayer::loadFailed(const QString &reason)
{
    keepError(reason);
    if (!m_playWaitsForEnd)
        return;
    m_playWaitsForEnd = false;
    deliverNotify(TMPNotifyValues::nvFailure);
}

void TMediaPlayer::WaitForInstruments()
{
    if (m_sequencer)
        m_sequencer->waitUntilLoaded();
}
