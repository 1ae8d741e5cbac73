// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/MidiFile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {
using Kind = MusicProblem::Kind;

// A tune is a few kilobytes; a file far bigger than any tune is not read into memory.
constexpr qint64 maxMidiFileBytes = 4 * 1024 * 1024;
constexpr std::size_t chunkHeaderBytes = 8;
// A delta time never needs more than four bytes (28 bits).
constexpr int maxQuantityBytes = 4;
constexpr std::uint8_t metaEvent = 0xFF;
constexpr std::uint8_t metaEndOfTrack = 0x2F;
constexpr std::uint8_t sysexStart = 0xF0;
constexpr std::uint8_t sysexContinue = 0xF7;

// Reads forward through one chunk; every read fails past the end instead of running over.
class Reader
{
  public:
    Reader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    std::size_t left() const { return m_size - m_pos; }

    bool byte(std::uint8_t &value)
    {
        if (atEnd())
            return false;
        value = m_data[m_pos++];
        return true;
    }

    bool skip(std::size_t count)
    {
        if (count > left())
            return false;
        m_pos += count;
        return true;
    }

    // A variable-length quantity; `overlong` is set when it runs past four bytes.
    bool quantity(std::uint32_t &value, bool &overlong)
    {
        value = 0;
        overlong = false;
        for (int i = 0; i < maxQuantityBytes; ++i) {
            std::uint8_t b = 0;
            if (!byte(b))
                return false;
            value = (value << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0)
                return true;
        }
        overlong = true;
        return false;
    }

  private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

std::uint32_t bigEndian(const std::uint8_t *p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

// Data bytes that follow a channel message's status byte.
int dataBytesOf(std::uint8_t status)
{
    switch (status & 0xF0u) {
    case 0xC0: // program change
    case 0xD0: // channel pressure
        return 1;
    default:
        return 2;
    }
}

struct TrackResult
{
    Kind problem = Kind::None;
    std::uint64_t endTick = 0;
    int notes = 0;
};

TrackResult readTrack(const std::uint8_t *data, std::size_t size)
{
    TrackResult result;
    Reader reader(data, size);
    std::uint8_t runningStatus = 0;
    auto fail = [&result](bool truncated) {
        result.problem = truncated ? Kind::FileTruncated : Kind::FileCorrupt;
        return result;
    };

    while (!reader.atEnd()) {
        std::uint32_t delta = 0;
        bool overlong = false;
        if (!reader.quantity(delta, overlong))
            return fail(!overlong);
        result.endTick += delta;

        std::uint8_t status = 0;
        if (!reader.byte(status))
            return fail(true);
        if (status == metaEvent) {
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!reader.byte(type))
                return fail(true);
            if (!reader.quantity(length, overlong))
                return fail(!overlong);
            if (!reader.skip(length))
                return fail(true);
            if (type == metaEndOfTrack)
                return result; // anything after the end of the track is never played
            continue;
        }
        if (status == sysexStart || status == sysexContinue) {
            std::uint32_t length = 0;
            if (!reader.quantity(length, overlong))
                return fail(!overlong);
            if (!reader.skip(length))
                return fail(true);
            continue;
        }
        if (status >= 0xF0)
            return fail(false); // real-time and common messages have no place in a file

        // A channel message, either with its own status byte or reusing the last one.
        std::uint8_t first = 0;
        if (status & 0x80u) {
            runningStatus = status;
            if (!reader.byte(first))
                return fail(true);
        } else {
            if (runningStatus == 0)
                return fail(false);
            first = status;
            status = runningStatus;
        }
        std::uint8_t second = 0;
        if (dataBytesOf(status) == 2 && !reader.byte(second))
            return fail(true);
        if ((first | second) & 0x80u)
            return fail(false);
        if ((status & 0xF0u) == 0x90 && second > 0)
            ++result.notes;
    }
    // The chunk ran out before its end-of-track event.
    return fail(true);
}
} // namespace

MidiFileCheck checkMidiFile(const std::uint8_t *data, std::size_t size)
{
    MidiFileCheck check;
    if (size == 0) {
        check.problem = Kind::FileEmpty;
        return check;
    }
    if (size < 4 || std::memcmp(data, "MThd", 4) != 0) {
        check.problem = Kind::NotMidi;
        return check;
    }
    if (size < chunkHeaderBytes) {
        check.problem = Kind::FileTruncated;
        return check;
    }
    const std::uint32_t headerLength = bigEndian(data + 4, 4);
    if (headerLength < 6) {
        check.problem = Kind::FileCorrupt;
        return check;
    }
    if (headerLength > size - chunkHeaderBytes) {
        check.problem = Kind::FileTruncated;
        return check;
    }
    MidiFileSummary &summary = check.summary;
    summary.format = int(bigEndian(data + 8, 2));
    const int declaredTracks = int(bigEndian(data + 10, 2));
    const std::uint32_t division = bigEndian(data + 12, 2);
    if (summary.format > 2 || declaredTracks == 0 || division == 0 ||
        (summary.format == 0 && declaredTracks != 1)) {
        check.problem = Kind::FileCorrupt;
        return check;
    }
    // Format 2 (independent patterns) and frame-based time are valid files that the
    // sequencer does not play.
    if (summary.format == 2 || (division & 0x8000u) != 0) {
        check.problem = Kind::FileUnsupported;
        return check;
    }
    summary.division = int(division);

    std::size_t pos = chunkHeaderBytes + headerLength;
    std::uint64_t endTick = 0;
    while (summary.tracks < declaredTracks) {
        if (size - pos < chunkHeaderBytes) {
            check.problem = Kind::FileTruncated;
            return check;
        }
        const std::uint8_t *chunk = data + pos;
        const bool printable =
            std::all_of(chunk, chunk + 4, [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
        if (!printable) {
            check.problem = Kind::FileCorrupt;
            return check;
        }
        const std::uint32_t length = bigEndian(chunk + 4, 4);
        pos += chunkHeaderBytes;
        if (length > size - pos) {
            check.problem = Kind::FileTruncated;
            return check;
        }
        // Chunks of other kinds may be mixed in; players skip them.
        if (std::memcmp(chunk, "MTrk", 4) == 0) {
            const TrackResult track = readTrack(data + pos, length);
            if (track.problem != Kind::None) {
                check.problem = track.problem;
                return check;
            }
            endTick = std::max(endTick, track.endTick);
            summary.notes += track.notes;
            ++summary.tracks;
        }
        pos += length;
    }
    // Sequencers count ticks in an int; a longer piece is not a tune of ours.
    if (endTick > 0x7FFFFFFFu) {
        check.problem = Kind::FileUnsupported;
        return check;
    }
    summary.lengthTicks = int(endTick);
    if (summary.notes == 0 || summary.lengthTicks == 0)
        check.problem = Kind::NoMusic;
    return check;
}

MidiFileRead readMidiFile(const QString &path)
{
    MidiFileRead read;
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.exists())
        read.check.problem = Kind::FileMissing;
    else if (!info.isFile())
        read.check.problem = Kind::NotAFile;
    else if (info.size() > maxMidiFileBytes)
        read.check.problem = Kind::FileTooLarge;
    else if (!file.open(QIODevice::ReadOnly))
        read.check.problem = Kind::FileUnreadable;
    if (read.check.problem != Kind::None)
        return read;
    const QByteArray bytes = file.read(maxMidiFileBytes + 1);
    read.check = checkMidiFile(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                               std::size_t(bytes.size()));
    if (read.check.playable())
        read.bytes = bytes;
    return read;
}
