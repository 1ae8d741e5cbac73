// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"
#include "Mixer.h"
#include "SoundSink.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

// Plays the program's sound effects: finds a file in the sound folders, decodes it once and
// keeps it, and hands it to the mixer's effect voice, cutting off the sound before it. A
// file that is missing or unreadable plays the default chime instead. Without an output
// device everything still works, silently.
class AudioEngine : public SoundSink
{
  public:
    // `output` may be null: then nothing is played on a device, and tests drive mixer().mix().
    explicit AudioEngine(std::unique_ptr<AudioOutput> output);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine &) = delete;
    AudioEngine &operator=(const AudioEngine &) = delete;

    // The folders searched, in order, for every sound.
    void setSoundFolders(const QStringList &folders);
    QStringList soundFolders() const { return m_folders; }

    void playSound(const QString &name) override;

    Mixer &mixer() { return m_mixer; }
    // Whether a device (real or the silent fallback) is pulling samples.
    bool hasOutput() const { return m_outputStarted; }
    int periodFrames() const;
    int sampleRate() const;

    // The decoded sound for `name` as it would be played (the default chime when the file
    // cannot be used). Loads and keeps it on first use.
    std::shared_ptr<const Sound> sound(const QString &name);

  private:
    Mixer m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    bool m_outputStarted = false;
    QStringList m_folders;
    QHash<QString, std::shared_ptr<const Sound>> m_cache; // by lower-case name
};
