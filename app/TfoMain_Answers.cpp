// SPDX-License-Identifier: GPL-3.0-or-later
// Typing and checking answers, three tries a question, and the report at the end of a lesson.
#include "app/TfoMain.h"
#include "app/TypedKey.h"
#include "app/WholeCharacters.h"
#include "core/Errors.h"
#include "dialogs/ErrorGuard.h"
#include "dialogs/MessageDialogs.h"
#include "platform/portable/SystemLocale.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
// Stands for any character outside the 8-bit range, or longer than one UTF-16 unit: it is not
// a digit either.
constexpr char otherCharacter = '?';

// A whole character as the answer box's handler receives it.
char handlerKey(const QString &character)
{
    const char16_t first = character.isEmpty() ? 0 : character.front().unicode();
    if (character.size() == 1 && first != 0 && first < 0x100)
        return char(first);
    return otherCharacter;
}

// The decimal separator of the system's locale: its first character, '.' when it gives none.
// Read as the report is made, so that the next report follows a change of the desktop's
// settings without anything watching for it.
QChar systemDecimalSeparator()
{
    const QString point = systemDecimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}
} // namespace

bool TfoMain::answerKeyFilter(QKeyEvent *event)
{
    const TypedKey typed = typedKey(*event);
    if (typed.kind != TypedKey::Kind::Character)
        return typed.kind == TypedKey::Kind::Nothing;
    char key = handlerKey(typed.character);
    const bool handled = guarded([&] { edAnswerKeyPress(edAnswer, key); });
    // An error, or a key the handler took, never reaches the box.
    return !handled || key == '\0';
}

bool TfoMain::answerInputFilter(QInputMethodEvent *event)
{
    // What an input method commits (a letter made with a dead key, an accent with a digit, a
    // character picked from a list) takes the path of typed keys, one whole character at a
    // time: the box gets only what the handler lets through, by the box's own rules. A
    // composition still under way is not shown: the box shows only characters it has taken.
    // The characters are judged once the input method is done with its event: an error box
    // opened inside it moves the focus, and ibus then commits its accent a second time, and
    // again for that error box, without end.
    const QStringList characters = wholeCharacters(event->commitString());
    if (!characters.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, characters] { typeCommitted(characters); }, Qt::QueuedConnection);
    event->accept();
    return true;
}

void TfoMain::typeCommitted(const QStringList &characters)
{
    for (const QString &character : characters) {
        if (!edAnswer->isEnabled())
            break; // an Escape ended the lesson
        char key = handlerKey(character);
        if (guarded([&] { edAnswerKeyPress(edAnswer, key); }) && key != '\0' &&
            edAnswer->isEnabled() && character.front().category() != QChar::Other_Control)
            edAnswer->insert(character);
    }
}

void TfoMain::edAnswerKeyPress(QObject *, char &key)
{
    const KeyOutcome outcome = lesson.keyTyped(key, wholeCharacterCount(edAnswer->text()));
    if (outcome.sound)
        PlaySoundFile(*outcome.sound);
    switch (outcome.action) {
    case KeyOutcome::Action::Type:
        break;
    case KeyOutcome::Action::Submit:
        key = '\0';
        NextSoal(edAnswer);
        break;
    case KeyOutcome::Action::Leave:
        ResetLesson();
        break;
    case KeyOutcome::Action::Refuse:
        throw NumbeloError(outcome.refusal);
    case KeyOutcome::Action::Ignore:
        key = '\0';
        break;
    }
}

bool TfoMain::CheckAnswer()
{
    const AnswerCheck check = lesson.check(edAnswer->text());
    if (check.sound)
        PlaySoundFile(*check.sound);
    if (!check.refusal.isEmpty())
        throw NumbeloError(check.refusal);
    // The next digit typed replaces a wrong answer.
    if (!check.right)
        edAnswer->selectAll();
    return check.right;
}

void TfoMain::NextSoal(QObject *)
{
    // Once the last answer is in, nothing is answered until the report has been seen.
    if (lesson.isFinished())
        return;
    const AnswerOutcome outcome = lesson.count(CheckAnswer());
    if (outcome.revealAnswer)
        ShowMessage(lesson.revealText());
    switch (outcome.next) {
    case AnswerOutcome::Next::TryAgain:
        break;
    case AnswerOutcome::Next::NextQuestion:
        NewQuestion();
        break;
    case AnswerOutcome::Next::EndLesson:
        // The report and the offer to go again are dialogs of their own, shown once the key,
        // click or menu choice that gave the answer has been handled, not inside its handler.
        QMetaObject::invokeMethod(
            this, [this] { guarded([this] { EndLesson(); }); }, Qt::QueuedConnection);
        break;
    }
}

void TfoMain::EndLesson()
{
    // A menu choice or F2 may have dropped or restarted the lesson since its last answer.
    if (!lesson.isFinished())
        return;
    if (const std::optional<SoundEvent> sound = lesson.endSound())
        PlaySoundFile(*sound);
    MessageDlg(lesson.report(edName->text(), systemDecimalSeparator()), TMsgDlgType::mtInformation,
               {TMsgDlgBtn::mbOK});
    const int reply =
        MessageDlg(QStringLiteral("Mau belajar berhitung lagi?"), TMsgDlgType::mtConfirmation,
                   {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
    if (reply == mrYes)
        PlayGame(this);
    else
        ResetLesson();
}
