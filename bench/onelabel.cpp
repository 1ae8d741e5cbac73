// SPDX-License-Identifier: GPL-3.0-or-later
// The second start-up reference: a window of the program's size with one line of text in the
// default font. It pays for what any window that draws text pays (fontconfig, the font
// itself, text shaping), so it is the fair floor for a program whose first frame has text.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Siapa namamu?")));
    window.resize(334, 254);
    window.show();
    return QApplication::exec();
}
