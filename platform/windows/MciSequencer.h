// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/MusicDevice.h"

#include <optional>

// Plays one MIDI file on Windows' own MIDI sequencer through its media control interface
// (mciSendCommandW): the device "sequencer", opened with the file as its element. Every command
// waits until MCI has carried it out, except play, which returns at once and asks MCI to tell
// the device's own message-only window when the piece has played to its end (MM_MCINOTIFY).
// Windows posts that to the thread that made the device, the window's, whose event loop hands
// it on like any other message.
//
// The end of a piece is what MCI says of the play under way: a successful notification from
// this device for it. A notification already queued when a command is given is for a play
// that command follows, and is dropped; one that comes while MCI carries the command out may
// be the new play's own (a play from the end ends at once) and is kept. A play at the end
// starts from the start: after the successful notification, where MCI puts the position at or
// past the length (Wine's sequencer does, once at the end), or where MCI cannot say.
//
// What goes wrong is told in Windows' own words (mciGetErrorStringW), in the user's language.
// All of it belongs to the thread that made the device.
class MciSequencer final : public MusicDevice
{
  public:
    MciSequencer();
    // Closes the device, which ends the music; no notification comes after it.
    ~MciSequencer() override;
    MciSequencer(const MciSequencer &) = delete;
    MciSequencer &operator=(const MciSequencer &) = delete;

    MusicProblem open(const QString &path) override;
    // At the end of the piece and with `rewindAtEnd`, seeks to the start first.
    MusicProblem play(bool rewindAtEnd) override;
    MusicProblem stop() override;
    bool isPlaying() const override;
    // In the sequencer's own time format.
    int position() const override;
    int length() const override;

    // The mode MCI reports, MCI_MODE_NOT_READY to MCI_MODE_OPEN; 0 while nothing is open.
    unsigned mode() const;
    // The device MCI opened, 0 while none is.
    unsigned deviceId() const { return m_device; }

  private:
    // The window MCI notifies, and what it does with a notification.
    struct NotifyWindow;
    friend struct NotifyWindow;
    void notified(unsigned long long flags);
    // What MCI reports of `item`; nothing where it reports an error.
    std::optional<unsigned> status(unsigned long item) const;
    bool atEnd() const;
    // Drops the notifications queued before the command about to be given: they are for plays
    // that are over. One telling that the last play reached the end still counts for atEnd().
    void dropQueuedNotifications();
    void close();

    void *m_window = nullptr; // receives MM_MCINOTIFY
    unsigned m_device = 0;
    bool m_ended = false; // the last play told that it reached the end of the piece
};

// The music of Windows: the MCI sequencer, which plays on the system's MIDI output by itself.
class MciMusic final : public MusicSystem
{
  public:
    std::unique_ptr<MusicDevice> makeDevice() override;
};
