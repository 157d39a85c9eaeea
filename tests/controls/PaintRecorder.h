#pragma once

// Records the regions a shown widget is asked to repaint, so that tests can
// tell a small invalidation from a full one.

#include <QCoreApplication>
#include <QPaintEvent>
#include <QWidget>

class PaintRecorder : public QObject
{
public:
    QRegion painted;
    int paints = 0;

    explicit PaintRecorder(QWidget *widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    // Delivers every pending repaint, so that `painted` is complete.
    void flush()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }
    // Delivers every pending repaint, then forgets what was recorded.
    void settle()
    {
        flush();
        painted = QRegion();
        paints = 0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }

private:
    QWidget *m_widget;
};
