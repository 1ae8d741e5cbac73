// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextWindow.h"

#include "widgets/WindowLook.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
// Wide enough for 80 columns and tall enough for a screenful, within the screen's free area.
QSize windowSize(const QWidget *window, const QPlainTextEdit *view)
{
    const QFontMetrics metrics(view->font());
    QSize size(metrics.horizontalAdvance(QString(80, u'x')) + 60, metrics.lineSpacing() * 30);
    if (const QScreen *screen = window->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    return size;
}
} // namespace

QWidget *showTextWindow(QWidget *owner, const QString &name, const QString &caption,
                        const QString &text)
{
    auto *window = owner->findChild<QDialog *>(name, Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        window = new QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        window->setObjectName(name);
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto *view = new QPlainTextEdit(window);
        view->setObjectName(QStringLiteral("text"));
        view->setReadOnly(true);
        view->setFont(WindowLook::makeFont(WindowLook::TechnicalFace, 9));
        auto *close = new QPushButton(QStringLiteral("Tutup"), window);
        close->setObjectName(QStringLiteral("closeButton"));
        close->setDefault(true);
        QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(close);
        auto *layout = new QVBoxLayout(window);
        layout->addWidget(view);
        layout->addLayout(buttons);
        window->resize(windowSize(window, view));
        WindowLook::centreOnScreen(window);
    }
    window->setWindowTitle(caption);
    window->findChild<QPlainTextEdit *>(QStringLiteral("text"))->setPlainText(text);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
