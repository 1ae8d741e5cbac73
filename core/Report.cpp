// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Report.h"

#include "core/Conversions.h"
#include "core/Lesson.h"

#include <QStringList>

namespace {

// One eleventh as an extended constant, and 100 in single precision: with exactly these
// 11 × k rounds to 1, so the top mark is exactly 100, and the other marks round as the
// mark table reads (6 right is 54.55, not 54.54).
constexpr long double k = 0.0909090909090909090909L;
constexpr float hundred = 100.0f;
constexpr long double whistleShare = 0.6L;

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

long double lessonMark(std::int32_t score)
{
    return static_cast<long double>(score) * k * hundred;
}

bool earnsWhistle(std::int32_t score)
{
    return static_cast<long double>(score) * k > whistleShare;
}

QString nameOnOneLine(const QString &name)
{
    QString line;
    line.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool lineBreak = c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
        if (c.category() != QChar::Other_Control && !lineBreak) {
            line.append(c);
            continue;
        }
        line.append(u' ');
        if (c == u'\r' && i + 1 < name.size() && name.at(i + 1) == u'\n')
            ++i;
    }
    return line;
}

QString trimmedName(const QString &typed)
{
    const QString name = nameOnOneLine(typed);
    qsizetype first = 0;
    qsizetype end = name.size();
    while (first < end && isBlankOrControl(name.at(first)))
        ++first;
    while (end > first && isBlankOrControl(name.at(end - 1)))
        --end;
    return name.mid(first, end - first);
}

QString lessonReport(const QString &name, std::int32_t level, std::int32_t score,
                     QChar decimalSeparator)
{
    // 11 − score cannot overflow for any score a lesson produces; a wider type keeps it
    // defined for any value at all.
    const auto wrong = static_cast<std::int64_t>(QuestionsPerLesson) - score;
    const QStringList lines = {
        QStringLiteral("Nama : ") + trimmedName(name),
        QStringLiteral("Level pelajaran : ") + FormatInt(level),
        QStringLiteral("Nilai belajar : ") + FormatFloat(lessonMark(score), decimalSeparator),
        QStringLiteral("Jumlah benar : ") + FormatInt(score),
        QStringLiteral("Jumlah salah : ") + QString::number(wrong),
    };
    return lines.join(QStringLiteral("\r\n"));
}
