// SPDX-License-Identifier: GPL-3.0-or-later
// The about box and the readme, reached from the Help menu and the bulb button.
#include "Main.h"
#include "TAboutBox.h"
#include "TfoMain.h"

#include <memory>

void TfoMain::ABoutBox(QObject *)
{
    PlaySoundFile(QStringLiteral("Toeng.wav"));
    // Made for this one showing and gone when it closes, also when showing it fails.
    auto box = std::make_unique<TAboutBox>(this);
    box->exec();
}

void TfoMain::Readme1Click(QObject *) {}
