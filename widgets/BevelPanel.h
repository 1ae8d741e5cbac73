// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A panel with two one-pixel bevels: a lowered outer edge around a raised inner edge, the
// framed look of the program's button bar and of the about box's panel.
class BevelPanel : public QWidget
{
    Q_OBJECT
  public:
    explicit BevelPanel(QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *event) override;
};
