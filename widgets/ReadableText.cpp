// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ReadableText.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLoggingCategory>
#include <QWidget>

Q_LOGGING_CATEGORY(lcReadable, "numbelo.readable", QtWarningMsg)

namespace {
// The widget's property holding its text; a widget that has it is read as text.
constexpr const char *textProperty = "readableText";

class ReadableTextInterface : public QAccessibleWidget
{
  public:
    explicit ReadableTextInterface(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return widget()->property(textProperty).toString();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *readableTextFactory(const QString &, QObject *object)
{
    if (object != nullptr && object->isWidgetType() && object->property(textProperty).isValid())
        return new ReadableTextInterface(static_cast<QWidget *>(object));
    return nullptr;
}
} // namespace

void makeReadableText(QWidget *widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(readableTextFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(textProperty, QString());
}

void setReadableText(QWidget *widget, const QString &text)
{
    widget->setProperty(textProperty, text);
    logReadable("board", text);
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void logReadable(const char *what, const QString &text)
{
    qCInfo(lcReadable).noquote() << what << text;
}
