// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthLibrary.h"

#include <QHash>
#include <QLoggingCategory>
#include <memory>
#include <mutex>

Q_DECLARE_LOGGING_CATEGORY(lcMusic)

namespace FluidSynthLibrary {
namespace {
std::mutex mutex;
// The tables filled so far, by the file they were filled from. A table never changes once
// filled, and its library stays loaded: the audio thread may be in its functions at any time.
QHash<QByteArray, const Functions *> loaded;
} // namespace

const Functions *load(const QByteArray &fileName, MusicProblem *problem)
{
    std::lock_guard lock(mutex);
    if (const Functions *functions = loaded.value(fileName))
        return functions;
    const QString file = QString::fromLocal8Bit(fileName);
    const QString packageName = QLatin1String(package);
    SharedLibrary library = SharedLibrary::open(fileName.constData());
    if (!library.isOpen()) {
        qCInfo(lcMusic) << library.error();
        *problem = {MusicProblem::Kind::SynthesizerMissing, file, QString(), packageName};
        return nullptr;
    }
    // An older FluidSynth lacks some of them.
    auto owned = std::make_unique<Functions>();
    Functions &table = *owned;
    const char *missing = nullptr;
    NUMBELO_FLUIDSYNTH_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE)
    if (missing != nullptr) {
        library.close();
        *problem = {MusicProblem::Kind::SynthesizerIncomplete, file, QLatin1String(missing),
                    packageName};
        return nullptr;
    }
    const Functions *functions = owned.release(); // kept for the life of the program
    loaded.insert(fileName, functions);
    return functions;
}

} // namespace FluidSynthLibrary
