// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthLibrary.h"

#include "platform/linux/MidiSequencer.h"

#include <mutex>

namespace FluidSynthLibrary {
namespace {
std::mutex mutex;
QByteArray fileName = defaultFileName;
// The file the table was filled from; empty until a load succeeded. The table never changes
// once filled, and the library stays loaded: the audio thread may be in its functions at any
// time.
QByteArray loadedFrom;
Functions functions;
} // namespace

const Functions *load(QString *error)
{
    std::lock_guard lock(mutex);
    if (!loadedFrom.isEmpty() && loadedFrom == fileName)
        return &functions;
    const QString file = QString::fromLocal8Bit(fileName);
    SharedLibrary library = SharedLibrary::open(fileName.constData());
    if (!library.isOpen()) {
        qCInfo(lcMusic) << library.error();
        *error = QStringLiteral("The synthesizer for the music (%1) cannot be loaded; install "
                                "the package %2")
                     .arg(file, package);
        return nullptr;
    }
    // An older FluidSynth lacks some of them.
    Functions table;
    const char *missing = nullptr;
    NUMBELO_FLUIDSYNTH_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE)
    if (missing != nullptr) {
        library.close();
        *error = QStringLiteral("The synthesizer for the music (%1) cannot be used: it has no "
                                "%2; install the package %3 again")
                     .arg(file, QLatin1String(missing), package);
        return nullptr;
    }
    if (loadedFrom.isEmpty())
        functions = table;
    loadedFrom = fileName;
    return &functions;
}

void useFileName(const QByteArray &name)
{
    std::lock_guard lock(mutex);
    fileName = name;
}

} // namespace FluidSynthLibrary
