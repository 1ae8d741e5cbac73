// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/BevelPanel.h"

#include <QPainter>
#include <qdrawutil.h>

BevelPanel::BevelPanel(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect outer = rect();
    qDrawShadePanel(&painter, outer, palette(), /*sunken=*/true, 1);
    qDrawShadePanel(&painter, outer.adjusted(1, 1, -1, -1), palette(), /*sunken=*/false, 1);
}
