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
    LibraryProblem failed;
    const std::optional<Functions> table =
        loadLibraryTable<Functions>(fileName.constData(), &failed);
    if (table)
        return &loaded.emplace(fileName, *table).first->second;
    const QString file = QString::fromLocal8Bit(fileName);
    const QString packageName = QLatin1String(package);
    if (failed.missing.isEmpty()) {
        qCInfo(lcMusic) << failed.error;
        *problem = {MusicProblem::Kind::SynthesizerMissing, file, QString(), packageName};
    } else {
        // An older FluidSynth lacks some of them.
        *problem = {MusicProblem::Kind::SynthesizerIncomplete, file, failed.missing, packageName};
    }
    return nullptr;
}

} // namespace FluidSynthLibrary
