// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for the start-up figures: an empty Qt window of the program's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(334, 254);
    window.show();
    return QApplication::exec();
}
