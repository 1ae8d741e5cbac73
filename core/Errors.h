// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <utility>

// Every failure the child may see is one of these: an exception carrying the one message
// the error box shows. Raising it abandons the handler that raised it.
class NumbeloError : public std::exception
{
  public:
    explicit NumbeloError(QString message)
        : m_message(std::move(message)), m_what(m_message.toUtf8())
    {}
    const QString &message() const { return m_message; }
    // The message again, for code that only knows std::exception.
    const char *what() const noexcept override { return m_what.constData(); }

  private:
    QString m_message;
    QByteArray m_what;
};

// A text that is not a whole number.
class EConvertError : public NumbeloError
{
  public:
    using NumbeloError::NumbeloError;
};

// A failure of the music device.
class EMCIDeviceError : public NumbeloError
{
  public:
    using NumbeloError::NumbeloError;
};
