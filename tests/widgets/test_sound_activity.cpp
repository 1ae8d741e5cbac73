// SPDX-License-Identifier: GPL-3.0-or-later
// What starts the sound and what wakes it: the first paint of the window starts it once, and
// the user's signs of activity (not every event) wake a device closed while idle.
#include "startup/SoundActivity.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

class TestSoundActivity : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void startsOnceAfterTheFirstPaint();
    void signsOfActivityWake_data();
    void signsOfActivityWake();
    void cleanupTestCase() { m_window.reset(); }

  private:
    int m_starts = 0;
    int m_wakes = 0;
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_box = nullptr;
};

void TestSoundActivity::initTestCase()
{
    followSoundActivity(
        *qApp, [this] { ++m_starts; }, [this] { ++m_wakes; });
    m_window = std::make_unique<QWidget>();
    m_box = new QLineEdit(m_window.get());
    (new QVBoxLayout(m_window.get()))->addWidget(m_box);
}

void TestSoundActivity::startsOnceAfterTheFirstPaint()
{
    QCOMPARE(m_starts, 0);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_COMPARE(m_starts, 1);
    m_window->repaint();
    QTest::qWait(20);
    QCOMPARE(m_starts, 1);
}

void TestSoundActivity::signsOfActivityWake_data()
{
    QTest::addColumn<QString>("sign");
    QTest::addColumn<bool>("wakes");
    QTest::newRow("the window activated") << "activate" << true;
    QTest::newRow("the mouse entering it") << "enter" << true;
    QTest::newRow("a key in an edit box") << "key" << true;
    QTest::newRow("F2, a shortcut") << "shortcut" << true;
    QTest::newRow("a click") << "click" << true;
    QTest::newRow("a menu shown") << "menu" << true;
    QTest::newRow("the mouse moving inside") << "move" << false;
    QTest::newRow("a repaint") << "paint" << false;
}

void TestSoundActivity::signsOfActivityWake()
{
    QFETCH(QString, sign);
    QFETCH(bool, wakes);
    QMenu menu;
    menu.addAction(QStringLiteral("Level 1"));
    const QPointF inside(5, 5);
    if (sign == u"move")
        QTest::mouseMove(m_box, QPoint(5, 5)); // the mouse is over the window already
    const int before = m_wakes;
    if (sign == u"activate") {
        QEvent event(QEvent::WindowActivate);
        QApplication::sendEvent(m_window.get(), &event);
    } else if (sign == u"enter") {
        QEnterEvent event(inside, inside, m_window->mapToGlobal(inside));
        QApplication::sendEvent(m_window.get(), &event);
    } else if (sign == u"key") {
        QTest::keyClick(m_box, Qt::Key_7);
    } else if (sign == u"shortcut") {
        QKeyEvent event(QEvent::ShortcutOverride, Qt::Key_F2, Qt::NoModifier);
        QApplication::sendEvent(m_box, &event);
    } else if (sign == u"click") {
        QTest::mouseClick(m_box, Qt::LeftButton);
    } else if (sign == u"menu") {
        menu.popup(m_window->mapToGlobal(QPoint(5, 5)));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
    } else if (sign == u"move") {
        QTest::mouseMove(m_box, QPoint(6, 6));
    } else {
        m_window->repaint();
    }
    QCOMPARE(m_wakes > before, wakes);
}

QTEST_MAIN(TestSoundActivity)
#include "test_sound_activity.moc"
