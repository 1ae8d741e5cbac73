// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"
#include "dialogs/ErrorBox.h"

#include <QString>
#include <exception>
#include <utility>

// Runs one entry point from Qt into our code (a slot, an event handler, the window's
// creation). Any exception that leaves it is shown in the error box and goes no further,
// so none ever crosses a Qt frame. Returns false when the action was abandoned.
template <typename Action> bool guarded(Action &&action) noexcept
{
    QString message;
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const NumbeloError &error) {
        message = error.message();
    } catch (const std::exception &error) {
        message = QString::fromLocal8Bit(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        showErrorBox(message);
    } catch (...) {
        // Nothing more can be shown: the error box itself failed. Keep the program alive.
    }
    return false;
}
