// SPDX-License-Identifier: GPL-3.0-or-later
// The about box and the readme, reached from the Help menu and the bulb button.
#include "about/TAboutBox.h"
#include "app/TfoMain.h"
#include "dialogs/ErrorGuard.h"
#include "platform/portable/DesktopOpener.h"
#include "widgets/TextWindow.h"

#include <QFile>
#include <QPointer>
#include <memory>

void TfoMain::ABoutBox(QObject *)
{
    PlaySoundFile(SoundEvents::AboutOpens);
    // Made for this one showing and gone when it closes, also when showing it fails.
    auto box = std::make_unique<TAboutBox>(this, m_services.sounds, m_services.opener);
    box->exec();
}

void TfoMain::Readme1Click(QObject *)
{
    const QString path = m_services.folders.readme();
    if (path.isEmpty())
        return;
    // Where the desktop does not show it (no program for text files, or one that fails, maybe
    // only once it has started), the program shows the readme itself.
    auto showItself = [window = QPointer<TfoMain>(this), path] {
        if (window)
            guarded([&] { window->showReadme(path); });
    };
    bool opened = false;
    try {
        opened = m_services.opener.openFile(path, showItself);
    } catch (...) {
        // The desktop's program could not be started: shown here instead.
    }
    if (!opened)
        showItself();
}

void TfoMain::showReadme(const QString &path)
{
    // One the program cannot read is passed over in silence, as opening the readme is a
    // courtesy.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        showTextWindow(this, QStringLiteral("readmeWindow"), QStringLiteral("Readme"),
                       QString::fromUtf8(file.readAll()));
}
