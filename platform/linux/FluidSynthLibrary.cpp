// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FluidSynthLibrary.h"

#include <map>
#include <mutex>

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcMusic, "numbelo.music", QtWarningMsg)

namespace FluidSynthLibrary {
namespace {
void logFromSynth(int level, const char *message, void *)
{
    switch (level) {
    case FLUID_PANIC:
    case FLUID_ERR:
        qCWarning(lcMusic, "synthesizer: %s", message);
        break;
    case FLUID_WARN:
        qCInfo(lcMusic, "synthesizer: %s", message);
        break;
    default:
        qCDebug(lcMusic, "synthesizer: %s", message);
        break;
    }
}

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
    if (table) {
        // FluidSynth prints to the terminal unless told otherwise; its messages are for
        // developers.
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            table->fluid_set_log_function(level, &logFromSynth, nullptr);
        return &loaded.emplace(fileName, *table).first->second;
    }
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
