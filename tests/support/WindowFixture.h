// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TfoMain.h"
#include "platform/portable/AudioEngine.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/RecordingDesktopOpener.h"
#include "tests/support/RecordingSoundSink.h"
#include "tests/support/TestServices.h"

#include <QLineEdit>
#include <QTest>
#include <memory>
#include <utility>

// The main window as the widget tests open it: its sounds and desktop recorded, its music the
// system's over a mixer that no device plays, every question seeded from a clock the test
// sets, its modal dialogs answered as the test queues answers. A test opens it in init() and
// closes it in cleanup().
class WindowFixture
{
  public:
    RecordingSoundSink sounds;
    RecordingDesktopOpener opener;
    // What the clock tells the next question; it moves on by 1013 at each, so that questions
    // differ from one to the next.
    quint32 seed = 1000;
    std::unique_ptr<ModalHelper::ModalAnswers> answers;

    // A new window of a program in `folders` (the test program's own by default), shown and
    // active; the one before, if any, is gone.
    void open(const ProgramFolders &folders = testProgramFolders())
    {
        m_window.reset();
        if (!m_audio) {
            m_audio = std::make_unique<AudioEngine>(nullptr);
            m_music = testMusic(&m_audio->mixer());
            answers = std::make_unique<ModalHelper::ModalAnswers>(3000);
        }
        m_window = std::make_unique<TfoMain>(TfoMainServices{folders, sounds, *m_music, opener});
        m_window->setSeedClock([this] { return std::exchange(seed, seed + 1013); });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
    }

    // Closes everything, the window first, and forgets what was recorded; fails the test when
    // a dialog went unanswered or a window stayed open.
    void close()
    {
        const QList<ModalHelper::DialogSeen> unanswered = answers->unanswered();
        answers.reset();
        m_window.reset();
        m_music.reset();
        m_audio.reset();
        sounds.played.clear();
        opener = RecordingDesktopOpener();
        seed = 1000;
        QStringList left = ModalHelper::strayWindows();
        for (const ModalHelper::DialogSeen &dialog : unanswered)
            left << QStringLiteral("unanswered \"%1\": %2").arg(dialog.caption, dialog.text);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u", ")));
    }

    // The lesson as it stands, and the answer typed: what an error or a dialog leaves alone.
    std::pair<Lesson, QString> lessonState() const
    {
        return {m_window->lesson, m_window->edAnswer->text()};
    }

    TfoMain &window() const { return *m_window; }
    TfoMain *operator->() const { return m_window.get(); }

  private:
    std::unique_ptr<AudioEngine> m_audio;
    std::unique_ptr<MusicSystem> m_music;
    std::unique_ptr<TfoMain> m_window;
};
