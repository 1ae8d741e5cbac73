// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WholeCharacters.h"

#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>
#include <algorithm>

namespace {
// Where each whole character starts, and the end of the text.
QList<qsizetype> boundaries(const QString &text)
{
    QList<qsizetype> at{0};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    while (finder.toNextBoundary() > 0)
        at.append(finder.position());
    return at;
}

// A validator sees every change to the box's text before it is shown, and may change it.
class WholeCharacterLimit : public QValidator
{
  public:
    WholeCharacterLimit(int limit, QString (*tidy)(const QString &), QObject *parent)
        : QValidator(parent), m_limit(limit), m_tidy(tidy)
    {}

    State validate(QString &text, int &cursor) const override
    {
        if (m_tidy != nullptr) {
            QString tidied = m_tidy(text);
            if (tidied != text) {
                cursor = int(m_tidy(text.left(cursor)).size());
                text = std::move(tidied);
            }
        }
        QList<qsizetype> at = boundaries(text);
        qsizetype excess = at.size() - 1 - m_limit;
        if (excess <= 0)
            return Acceptable;
        // What just came in ends at the cursor (or inside the character the cursor is in).
        const auto end = std::lower_bound(at.cbegin(), at.cend(), qsizetype(cursor));
        const qsizetype last = end - at.cbegin();
        const qsizetype first = std::max<qsizetype>(0, last - excess);
        text.remove(at[first], at[last] - at[first]);
        cursor = int(at[first]);
        excess -= last - first;
        if (excess > 0) // still too long: the box held too much already
            text.truncate(boundaries(text).at(m_limit));
        cursor = std::min(cursor, int(text.size()));
        return Acceptable;
    }

  private:
    int m_limit;
    QString (*m_tidy)(const QString &);
};
} // namespace

QStringList wholeCharacters(const QString &text)
{
    const QList<qsizetype> at = boundaries(text);
    QStringList characters;
    for (qsizetype i = 1; i < at.size(); ++i)
        characters.append(text.mid(at[i - 1], at[i] - at[i - 1]));
    return characters;
}

qsizetype wholeCharacterCount(const QString &text)
{
    return boundaries(text).size() - 1;
}

void limitToWholeCharacters(QLineEdit *box, int limit, QString (*tidy)(const QString &))
{
    // The box's own limit counts UTF-16 units and would cut an emoji in half.
    box->setMaxLength(32767);
    box->setValidator(new WholeCharacterLimit(limit, tidy, box));
}
