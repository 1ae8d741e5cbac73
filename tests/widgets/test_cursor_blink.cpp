// SPDX-License-Identifier: GPL-3.0-or-later
// The text cursor at rest: it stops blinking, and stays shown, once the user has left the
// program alone, and blinks again at the desktop's pace on the next key, click or change of
// focus.
#include "startup/CursorBlink.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>

namespace {
constexpr int restMs = 300;
constexpr int flashMs = 100; // the desktop's pace in these tests: a repaint every 50 ms

// Counts the repaints of a widget: a blinking cursor repaints its box every half flash.
class PaintCounter : public QObject
{
  public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// Whether the box shows its text cursor: a dark vertical line in an empty white box.
bool cursorShown(QLineEdit *box)
{
    const QImage image = box->grab().toImage();
    for (int x = 3; x < image.width() / 2; ++x) {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        if (dark >= image.height() / 3 && dark < image.height() - 2)
            return true;
    }
    return false;
}
} // namespace

class TestCursorBlink : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void restsAndWakes_data();
    void restsAndWakes();
    void cleanupTestCase() { m_window.reset(); }

  private:
    int paintsOver(int milliseconds);

    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_box = nullptr;
    QLineEdit *m_other = nullptr;
    PaintCounter m_counter;
};

void TestCursorBlink::initTestCase()
{
    stopCursorBlinkWhenIdle(*qApp, std::chrono::milliseconds(restMs));
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_box = new QLineEdit(m_window.get());
    m_other = new QLineEdit(m_window.get());
    layout->addWidget(m_box);
    layout->addWidget(m_other);
    m_box->installEventFilter(&m_counter);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QApplication::setActiveWindow(m_window.get());
}

void TestCursorBlink::init()
{
    m_box->setFocus();
    QTRY_VERIFY(m_box->hasFocus());
}

int TestCursorBlink::paintsOver(int milliseconds)
{
    const int before = m_counter.paints;
    QTest::qWait(milliseconds);
    return m_counter.paints - before;
}

void TestCursorBlink::restsAndWakes_data()
{
    QTest::addColumn<int>("desktopFlashMs");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<bool>("blinksAgain");
    QTest::newRow("a key") << flashMs << "key" << true;
    QTest::newRow("a click") << flashMs << "click" << true;
    QTest::newRow("the focus moved on") << flashMs << "focus" << true;
    QTest::newRow("the mouse moving over the box") << flashMs << "move" << false;
    QTest::newRow("a desktop whose cursor never blinks") << 0 << "key" << false;
}

void TestCursorBlink::restsAndWakes()
{
    QFETCH(int, desktopFlashMs);
    QFETCH(QString, sign);
    QFETCH(bool, blinksAgain);
    QTest::keyClick(m_box, Qt::Key_Backspace); // the user was here a moment ago
    QGuiApplication::styleHints()->setCursorFlashTime(desktopFlashMs);
    if (desktopFlashMs > 0)
        QVERIFY2(paintsOver(restMs / 2) >= 2, "the cursor does not blink while the user types");

    // Left alone: the cursor stops blinking, and stays shown.
    QTest::qWait(restMs + 50);
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    QCOMPARE(paintsOver(4 * flashMs), 0);
    QVERIFY(cursorShown(m_box));

    if (sign == u"key") {
        QTest::keyClick(m_box, Qt::Key_Backspace);
    } else if (sign == u"click") {
        QTest::mouseClick(m_box, Qt::LeftButton);
    } else if (sign == u"focus") {
        m_other->setFocus();
        QTRY_VERIFY(m_other->hasFocus());
        m_box->setFocus();
    } else {
        QTest::mouseMove(m_box, QPoint(10, 5));
        QTest::mouseMove(m_box, QPoint(20, 6));
    }
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), blinksAgain ? desktopFlashMs : 0);
    QTest::qWait(flashMs / 4); // the repaint the sign itself brings
    if (blinksAgain)
        QVERIFY(paintsOver(4 * flashMs) >= 4);
    else
        QCOMPARE(paintsOver(4 * flashMs), 0);
}

QTEST_MAIN(TestCursorBlink)
#include "test_cursor_blink.moc"
