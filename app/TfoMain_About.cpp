// SPDX-License-Identifier: GPL-3.0-or-later
// The about box and the readme, reached from the Help menu and the bulb button.
#include "DesktopOpener.h"
#include "TAboutBox.h"
#include "TfoMain.h"

#include <QDir>
#include <memory>

void TfoMain::ABoutBox(QObject *)
{
    PlaySoundFile(QStringLiteral("Toeng.wav"));
    // Made for this one showing and gone when it closes, also when showing it fails.
    auto box = std::make_unique<TAboutBox>(this, m_services.sounds, m_services.opener);
    box->exec();
}

void TfoMain::Readme1Click(QObject *)
{
    // The current folder first, as a program started from a console expects; then beside the
    // program, and the installed data folder, where a program started from a menu finds it.
    const QString name = QStringLiteral("readme.txt");
    QStringList places{QDir::current().filePath(name), AppDir + name};
    for (const QString &folder : m_services.folders.dataDirs)
        places << folder + name;
    try {
        openFirstExistingFile(m_services.opener, places);
    } catch (...) {
        // Opening the readme is a courtesy: nothing that goes wrong here is shown.
    }
}
