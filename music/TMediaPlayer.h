// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class MusicDevice;
class MusicSystem;
struct MusicProblem;

// The invisible music control on the main window: opens one MIDI file on the system's
// sequencer (a MusicDevice the MusicSystem makes) and plays, stops and reports the end of a
// piece back to the window.
//
// Commands and their notifications: Play asks to be told when the piece ends, Open and Stop
// ask for nothing, unless setNotify() chose otherwise just before (that choice holds for the
// next Open, Play or Stop only). A notification arrives through the event queue: it sets
// NotifyValue() and calls OnNotify. A Play still waiting for its end when a later command
// comes ends at once: superseded by a later Play, aborted by Stop, Open or Close.
//
// Errors: Open throws EMCIDeviceError with the reason; Play and Stop throw "No MCI device
// open" while the device is closed. What the device needs before it can play at all (the
// synthesizer library, loaded at the first Play) is checked at every Play, which throws
// EMCIDeviceError with the reason while it is missing. Otherwise, once open, a failing Play or
// Stop throws nothing: its message is kept in ErrorMessage(). Whatever the device loads in the
// background at the first Play (the instruments) may still fail; the Play then ends with the
// notification value nvFailure.
class TMediaPlayer : public QObject
{
    Q_OBJECT
  public:
    // The only device there is: MIDI files on the system's sequencer.
    enum class TMPDeviceTypes
    {
        dtSequencer
    };
    // A sequencer's seven modes in their usual order (mpPlaying is 2); Mode() reports three.
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

    // `music` makes the device for every Open; it must outlive the control.
    explicit TMediaPlayer(MusicSystem &music, QObject *parent = nullptr);
    // Closes the device: the music ends, and no notification comes any more.
    ~TMediaPlayer() override;

    QString FileName;
    // DeviceType and AutoOpen are part of the control's usual shape and change nothing here:
    // there is one device, and the window opens it itself.
    TMPDeviceTypes DeviceType = TMPDeviceTypes::dtSequencer;
    bool AutoOpen = false;
    // A Play at the end of the piece starts it from the beginning.
    bool AutoRewind = true;
    std::function<void(QObject *sender)> OnNotify;

    void Open();
    void Close();
    void Play();
    void Stop();
    // Closed: mpNotReady; open: mpPlaying while the piece plays, mpStopped otherwise.
    TMPModes Mode() const;
    void setNotify(bool notify);
    bool Notify() const { return m_notify; }
    TMPNotifyValues NotifyValue() const { return m_notifyValue; }
    bool opened() const { return m_opened; }
    // 0 while closed; a new number for every successful Open. The window does not read it:
    // it is the control's usual way of telling one opening from the next.
    unsigned DeviceID() const { return m_deviceId; }
    // Where the piece is and how long it is, in MIDI ticks; 0 while closed. The window does
    // not read them (the device rewinds by itself, AutoRewind): they are the control's usual
    // way to follow the music, and tests follow it with them.
    int Position() const;
    int Length() const;
    // Why the last Play or Stop failed; empty when it worked.
    QString ErrorMessage() const { return m_errorMessage; }
    // Blocks until the instruments that the first Play started loading are in. For code that
    // renders the music itself rather than through a sound device (tests, tools).
    void WaitForInstruments();

  private:
    bool takeNotify(bool byDefault);
    void endPendingPlay(TMPNotifyValues value);
    void postNotify(TMPNotifyValues value);
    void deliverNotify(TMPNotifyValues value);
    void pieceEnded();
    void loadFailed(const MusicProblem &reason);
    void closeDevice();
    void keepError(const QString &message);

    MusicSystem &m_music;
    std::unique_ptr<MusicDevice> m_device;
    bool m_opened = false;
    unsigned m_deviceId = 0;
    bool m_notify = false;
    bool m_notifyMarked = false;
    bool m_playWaitsForEnd = false;
    TMPNotifyValues m_notifyValue = TMPNotifyValues::nvSuccessful;
    QString m_errorMessage;
};
