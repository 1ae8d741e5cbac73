// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The program's style: the platform's own, with the program's tooltip timing (ToolTips.h),
// a drawn picture for the menu bar's overflow button, which the common style would read
// from files, offering each to every image plugin Qt has, as soon as a menu bar is made, and a
// menu bar that always shows when it holds the keyboard.
class ProgramStyle : public QProxyStyle
{
  public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
};
