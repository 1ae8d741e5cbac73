// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/MciSequencer.h"

#include <QDir>
#include <QLoggingCategory>
// windows.h first: the headers after it build on it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcMci, "numbelo.music.mci", QtWarningMsg)

struct MciSequencer::NotifyWindow
{
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != MM_MCINOTIFY)
            return DefWindowProcW(window, message, wParam, lParam);
        // lParam names the device the notification is from.
        auto *device = reinterpret_cast<MciSequencer *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (device != nullptr && device->m_device != 0 && UINT(lParam) == device->m_device)
            device->notified(wParam);
        return 0;
    }
};

namespace {
const wchar_t *const windowClass = L"NumbeloMusicNotify";

// Windows' words for an MCI error; empty where it has none.
QString errorText(MCIERROR error)
{
    wchar_t text[MAXERRORLENGTH] = {};
    if (!mciGetErrorStringW(error, text, MAXERRORLENGTH))
        return QString();
    return QString::fromWCharArray(text);
}

MusicProblem problemOf(MCIERROR error, const QString &file = {})
{
    return {MusicProblem::Kind::PlatformText, file, errorText(error)};
}

void registerWindowClass(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSEXW kind{};
        kind.cbSize = sizeof kind;
        kind.lpfnWndProc = procedure;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = windowClass;
        return RegisterClassExW(&kind) != 0;
    }();
    Q_UNUSED(registered);
}
} // namespace

MciSequencer::MciSequencer()
{
    registerWindowClass(&NotifyWindow::procedure);
    // A message-only window: it is never shown and takes no part in the desktop.
    const HWND window = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
}

MciSequencer::~MciSequencer()
{
    close();
    if (m_window != nullptr)
        DestroyWindow(static_cast<HWND>(m_window));
}

MusicProblem MciSequencer::open(const QString &path)
{
    close();
    const std::wstring element = QDir::toNativeSeparators(path).toStdWString();
    MCI_OPEN_PARMSW parameters{};
    parameters.lpstrDeviceType = L"sequencer";
    parameters.lpstrElementName = element.c_str();
    const MCIERROR error = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                                           reinterpret_cast<DWORD_PTR>(&parameters));
    if (error != 0) {
        qCInfo(lcMci) << "open" << path << "failed:" << error;
        return problemOf(error, path);
    }
    m_device = parameters.wDeviceID;
    return {};
}

void MciSequencer::close()
{
    if (m_device == 0)
        return;
    MCI_GENERIC_PARMS parameters{};
    mciSendCommandW(m_device, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parameters));
    // All that is queued now is of the closed device, whose number MCI may give the next one.
    dropQueuedNotifications();
    m_device = 0;
    m_ended = false;
}

MusicProblem MciSequencer::play(bool rewindAtEnd)
{
    if (m_device == 0)
        return {MusicProblem::Kind::NotOpen};
    dropQueuedNotifications();
    if (rewindAtEnd && atEnd()) {
        MCI_SEEK_PARMS seek{};
        if (const MCIERROR error = mciSendCommandW(m_device, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT,
                                                   reinterpret_cast<DWORD_PTR>(&seek)))
            return problemOf(error);
        qCInfo(lcMci) << "rewound";
    }
    m_ended = false;
    MCI_PLAY_PARMS parameters{};
    parameters.dwCallback = reinterpret_cast<DWORD_PTR>(m_window);
    const MCIERROR error =
        mciSendCommandW(m_device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&parameters));
    qCInfo(lcMci) << "play:" << error << "mode" << mode();
    return error != 0 ? problemOf(error) : MusicProblem();
}

bool MciSequencer::atEnd() const
{
    if (m_ended)
        return true;
    // A piece left at its end without a notification (a play that asked for none) is at its
    // end where MCI says so; one that MCI cannot place starts again from the start.
    const std::optional<unsigned> at = status(MCI_STATUS_POSITION);
    const std::optional<unsigned> end = status(MCI_STATUS_LENGTH);
    return !at || !end || *at >= *end;
}

MusicProblem MciSequencer::stop()
{
    if (m_device == 0)
        return {};
    dropQueuedNotifications();
    MCI_GENERIC_PARMS parameters{};
    const MCIERROR error =
        mciSendCommandW(m_device, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parameters));
    qCInfo(lcMci) << "stop:" << error << "mode" << mode();
    return error != 0 ? problemOf(error) : MusicProblem();
}

std::optional<unsigned> MciSequencer::status(unsigned long item) const
{
    if (m_device == 0)
        return std::nullopt;
    MCI_STATUS_PARMS parameters{};
    parameters.dwItem = item;
    if (const MCIERROR error = mciSendCommandW(m_device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                                               reinterpret_cast<DWORD_PTR>(&parameters))) {
        qCInfo(lcMci) << "status" << item << "failed:" << error;
        return std::nullopt;
    }
    return unsigned(parameters.dwReturn);
}

unsigned MciSequencer::mode() const
{
    return status(MCI_STATUS_MODE).value_or(0);
}

bool MciSequencer::isPlaying() const
{
    return mode() == MCI_MODE_PLAY;
}

int MciSequencer::position() const
{
    return int(status(MCI_STATUS_POSITION).value_or(0));
}

int MciSequencer::length() const
{
    return int(status(MCI_STATUS_LENGTH).value_or(0));
}

void MciSequencer::dropQueuedNotifications()
{
    // Ends of plays that a stop or a later play cut short (aborted, superseded) were told by
    // the music control already; a successful end still queued belongs to the last play, which
    // the command about to be given follows, so only what it says of the piece is kept.
    MSG message;
    while (PeekMessageW(&message, static_cast<HWND>(m_window), MM_MCINOTIFY, MM_MCINOTIFY,
                        PM_REMOVE)) {
        if (m_device != 0 && UINT(message.lParam) == m_device &&
            message.wParam == MCI_NOTIFY_SUCCESSFUL)
            m_ended = true;
    }
}

void MciSequencer::notified(unsigned long long flags)
{
    qCInfo(lcMci) << "notification" << flags;
    // Aborted and superseded plays were cut short by a command of the music control, which has
    // told of them already.
    if (flags == MCI_NOTIFY_SUCCESSFUL) {
        m_ended = true;
        pieceEnded();
    } else if (flags == MCI_NOTIFY_FAILURE) {
        failed({MusicProblem::Kind::PlayerFailed});
    }
}

std::unique_ptr<MusicDevice> MciMusic::makeDevice()
{
    return std::make_unique<MciSequencer>();
}

std::unique_ptr<MusicSystem> makeSystemMusic(Mixer *, const ProgramFolders &)
{
    // The sequencer plays on its own MIDI output, not through the program's mixer.
    return std::make_unique<MciMusic>();
}
