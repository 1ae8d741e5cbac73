// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class Mixer;

// The invisible music control on the main window: opens one MIDI file on the sequencer and
// plays, stops and reports the end of a piece back to the window.
class TMediaPlayer : public QObject
{
    Q_OBJECT
  public:
    enum class TMPDeviceTypes
    {
        dtAutoSelect,
        dtSequencer
    };
    enum class TMPModes
    {
        mpNotReady,
        mpStopped,
        mpPlaying,
        mpRecording,
        mpSeeking,
        mpPaused,
        mpOpen
    };
    enum class TMPNotifyValues
    {
        nvSuccessful,
        nvSuperseded,
        nvAborted,
        nvFailure
    };

    // `mixer` is where the music is rendered; null means there is nowhere to play it.
    explicit TMediaPlayer(Mixer *mixer, QObject *parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;
    TMPDeviceTypes DeviceType = TMPDeviceTypes::dtSequencer;
    bool AutoOpen = false;
    bool AutoRewind = true;
    std::function<void(QObject *sender)> OnNotify;

    void Open();
    void Close();
    void Play();
    void Stop();
    TMPModes Mode() const;
    void setNotify(bool notify);
    TMPNotifyValues NotifyValue() const { return m_notifyValue; }
    bool opened() const { return m_opened; }

  private:
    Mixer *m_mixer = nullptr;
    bool m_opened = false;
    TMPNotifyValues m_notifyValue = TMPNotifyValues::nvSuccessful;
};
