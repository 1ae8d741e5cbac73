// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// What the end of a lesson tells the child. No widgets here.

// The mark out of 100 for `score` first-try answers: score × (1/11) × 100, worked out in the
// widest floating point there is, so that eleven right give exactly 100.
long double lessonMark(std::int32_t score);

// Whether the lesson ends with the whistle: more than six tenths right, i.e. 7 or more of 11.
bool earnsWhistle(std::int32_t score);

// The child's name on one line, as the name box takes it: each line break (CR LF counting as
// one) and each other control character becomes a space, so that a pasted "Ani\nBudi" reads
// "Ani Budi".
QString nameOnOneLine(const QString &name);

// The child's name as it goes into the report: on one line, without leading and trailing
// blanks and control characters (codes up to 32). Everything in between, "&" included, stays as
// typed.
QString trimmedName(const QString &name);

// The five lines of the report, joined by CR LF, with no break after the last:
//   Nama : <name>
//   Level pelajaran : <level>
//   Nilai belajar : <mark with "#.##">
//   Jumlah benar : <score>
//   Jumlah salah : <11 - score>
QString lessonReport(const QString &name, std::int32_t level, std::int32_t score,
                     QChar decimalSeparator);
