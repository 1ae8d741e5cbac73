// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <string_view>

// Every sound effect the program plays, named by the moment it marks: the one table of which
// file plays when, and why. Call sites raise the event by its name and never spell a file.
// Files are looked up in the sound folder without regard to case (ProgramFolders), and a sound
// that cannot be played gives the default sound.
struct SoundEvent
{
    std::string_view fileName; // in the sound folder, spelt as the program asks for it

    QString file() const { return QLatin1String(fileName.data(), qsizetype(fileName.size())); }
    friend bool operator==(SoundEvent, SoundEvent) = default;
};

namespace SoundEvents {

// The main window is shown: a bright zap that says the program is ready.
inline constexpr SoundEvent Greeting{"Laser.wav"};
// A lesson starts (btnPlay, F2, or Yes to another lesson): "good", off we go.
inline constexpr SoundEvent LessonStarts{"Good.wav"};
// An answer is right, at any try ("benar" is right).
inline constexpr SoundEvent Right{"Benar.wav"};
// An answer is wrong; the same question stays for another try ("salah" is wrong).
inline constexpr SoundEvent Wrong{"Salah.wav"};
// A key that is not a digit, Backspace, Enter or Escape, typed into the answer box while it has
// room: a spring's "toeng", before the error box says only digits count.
inline constexpr SoundEvent RefusedKey{"Toeng.wav"};
// An empty answer given (Enter, btnNext or F3), before its error box. The same spring, spelt in
// lower case as the program has always asked for it here: the names a sound folder answers to
// stay as they always were, and the case-blind lookup makes both spellings one file.
inline constexpr SoundEvent EmptyAnswer{"toeng.wav"};
// A lesson ends with more than six tenths right at the first try (7 of 11): the whistle of
// praise, cutting off the last "benar".
inline constexpr SoundEvent Praise{"Whistle.wav"};
// The about box opens: the spring again, as the box springs up.
inline constexpr SoundEvent AboutOpens{"Toeng.wav"};
// The about box's picture double-clicked, which asks for a donation: the spring once more.
inline constexpr SoundEvent DonationAsked{"Toeng.wav"};

// A digit typed into the answer box, spoken in Indonesian, so that the child hears what the
// box took: "0.wav" for 0 … "9.wav" for 9.
inline constexpr std::array<SoundEvent, 10> Digits{{{"0.wav"},
                                                    {"1.wav"},
                                                    {"2.wav"},
                                                    {"3.wav"},
                                                    {"4.wav"},
                                                    {"5.wav"},
                                                    {"6.wav"},
                                                    {"7.wav"},
                                                    {"8.wav"},
                                                    {"9.wav"}}};

} // namespace SoundEvents
