// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAboutBox.h"

TAboutBox::TAboutBox(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
}
