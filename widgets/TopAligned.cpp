// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TopAligned.h"

#include <QEvent>
#include <QWidget>

namespace {
// Watches the parent's resizing; owned by the child, so it goes with it.
class TopAligner : public QObject
{
  public:
    explicit TopAligner(QWidget *child) : QObject(child), m_child(child) {}

    void apply()
    {
        m_child->setGeometry(0, 0, m_child->parentWidget()->width(), m_child->height());
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == m_child->parentWidget())
            apply();
        return false;
    }

  private:
    QWidget *m_child;
};
} // namespace

void alignToTop(QWidget *child)
{
    auto *aligner = new TopAligner(child);
    child->parentWidget()->installEventFilter(aligner);
    aligner->apply();
}
