// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthLibrary.h"

#include <QLoggingCategory>
#include <map>
#include <mutex>

Q_DECLARE_LOGGING_CATEGORY(lcMusic)

namespace FluidSynthLibrary {
namespace {
std::mutex mutex;
// The tables filled so far, by the file they were filled from; a node never moves. A table
// never changes once filled, and its library stays loaded: the audio thread may be in its
// functions at any time.
std::map<QByteArray, Functions> loaded;
} // namespace

const Functions *load(const QByteArray &fileName, MusicProblem *problem)
{
    std::lock_guard lock(mutex);
    if (const auto known = loaded.find(fileName); known != loaded.end())
        return &known->second;
    const QString file = QString::fromLocal8Bit(fileName);
    const QString packageName = QLatin1String(package);
    SharedLibrary library = SharedLibrary::open(fileName.constData());
    if (!library.isOpen()) {
        qCInfo(lcMusic) << library.error();
        *problem = {MusicProblem::Kind::SynthesizerMissing, file, QString(), packageName};
        return nullptr;
    }
    // An older FluidSynth lacks some of them.
    Functions table;
    const char *missing = nullptr;
    NUMBELO_FLUIDSYNTH_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE)
    if (missing != nullptr) {
        library.close();
        *problem = {MusicProblem::Kind::SynthesizerIncomplete, file, QLatin1String(missing),
                    packageName};
        return nullptr;
    }
    return &loaded.emplace(fileName, table).first->second;
}

} // namespace FluidSynthLibrary
