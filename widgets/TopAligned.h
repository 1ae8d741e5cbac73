// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps `child` along the whole top edge of its parent, as a panel aligned to the top of a
// window is: whenever the parent is resized, the child spans the parent's full width at the
// top and keeps its own height. The parent's other children keep their places.
void alignToTop(QWidget *child);
