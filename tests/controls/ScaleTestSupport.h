#pragma once

// Helpers shared by the radio scale tests: synthesised mouse events, a scale
// with a fake clock and fake modifier keys and the markers it refers to, a
// signal recorder, and a screen that only the invalidated rectangles update.

#include "controls/RadioScale.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegion>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

inline void sendMouse(QWidget &w, QEvent::Type type, int x, int y, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    const QPointF local(x, y);
    QMouseEvent ev(type, local, w.mapToGlobal(local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &ev);
}

inline void pressLeft(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton);
}

inline void releaseLeft(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseButtonRelease, x, y, Qt::LeftButton, Qt::NoButton);
}

inline void dragTo(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton);
}

inline void hoverTo(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseMove, x, y, Qt::NoButton, Qt::NoButton);
}

inline void doubleClickLeft(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton);
}

inline QPoint centre(const TEdgeRect &r)
{
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

inline QImage picture(QWidget &w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A CW marker, owned by the caller as the marker store owns its markers.
inline std::unique_ptr<TFqMarker> makeMarker(qint32 f, const QString &caption, const QString &attributes = QString())
{
    auto m = std::make_unique<TFqMarker>();
    m->Frequency = f;
    m->Caption = caption;
    m->Mode = "CW";
    m->Attributes = attributes;
    return m;
}

// A scale on 3.5-3.8 MHz that does not slide, with a clock and keys of the
// test's own. The markers outlive the scale, as the marker store's do.
struct ScaleRig
{
    qint64 now = 1000;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    std::vector<std::unique_ptr<TFqMarker>> store;
    TRadioScale s;

    explicit ScaleRig(int width = 700, int height = 100)
    {
        s.resize(width, height);
        s.SetTickSource([this] { return now; });
        s.SetModifierSource([this] { return modifiers; });
        s.SetAnimateScale(false);
        s.Rescale();
    }
    // Shows the slider and paints, so that it is where a press finds it.
    void showSlider()
    {
        s.SetSliderVisible(true);
        picture(s);
    }
    TFqMarker *marker(qint32 f, const QString &caption, const QString &attributes = QString(), bool add = true)
    {
        store.push_back(makeMarker(f, caption, attributes));
        if (add)
            s.AddMarker(store.back().get(), false);
        return store.back().get();
    }
    // A drag step: the mouse moves, time passes, and the drag timer runs when due.
    void dragStep(int x, qint64 ms)
    {
        dragTo(s, x, 40);
        now += ms;
        if (s.IsDragTimerActive() && now >= s.DragTimerDueTick())
            s.DragTimerTimer();
    }
};

// Records every event of the scale, in order, as "Name(arg)".
class ScaleEventLog : public QObject
{
public:
    QStringList lines;

    explicit ScaleEventLog(TRadioScale &s)
    {
        auto arg = [this](const char *name) { return [this, name](int v) { lines << QString("%1(%2)").arg(name).arg(v); }; };
        auto bare = [this](const char *name) { return [this, name] { lines << name; }; };
        connect(&s, &TRadioScale::OnFreqChangeStart, this, arg("OnFreqChangeStart"));
        connect(&s, &TRadioScale::OnFreqChangeStop, this, arg("OnFreqChangeStop"));
        connect(&s, &TRadioScale::OnFreqChanged, this, arg("OnFreqChanged"));
        connect(&s, &TRadioScale::OnFreqAssigned, this, arg("OnFreqAssigned"));
        connect(&s, &TRadioScale::OnFqMarkerDblClk, this, arg("OnFqMarkerDblClk"));
        connect(&s, &TRadioScale::OnBandChange, this, arg("OnBandChange"));
        connect(&s, &TRadioScale::OnFqMarkerClick, this, arg("OnFqMarkerClick"));
        connect(&s, &TRadioScale::OnSliderDblClk, this, bare("OnSliderDblClk"));
        connect(&s, &TRadioScale::OnScaleDblClk, this, bare("OnScaleDblClk"));
        connect(&s, &TRadioScale::OnMouseDown, this, bare("OnMouseDown"));
        connect(&s, &TRadioScale::OnMouseUp, this, bare("OnMouseUp"));
    }
    QStringList take() { return std::exchange(lines, QStringList()); }
};

// What the screen shows when the scale repaints only what it invalidates,
// against what a paint of the whole scale drawn afresh shows.
struct ScaleScreen
{
    TRadioScale &s;
    QImage image;
    QRegion dirty;

    explicit ScaleScreen(TRadioScale &scale)
        : s(scale)
        , image(scale.size(), QImage::Format_RGB32)
    {
        s.render(&image);
        s.SetInvalidationObserver([this](const QRect &r) { dirty += r; });
    }
    ~ScaleScreen() { s.SetInvalidationObserver(nullptr); }
    void sync()
    {
        if (!dirty.isEmpty())
            s.render(&image, dirty.boundingRect().topLeft(), dirty);
        dirty = QRegion();
    }
    // Leaves the scale's picture up to date, as a paint would.
    QImage fresh()
    {
        s.SetShowModes(s.ShowModes()); // a plain store: the picture is drawn afresh
        QImage all(s.size(), QImage::Format_RGB32);
        s.render(&all);
        return all;
    }
};
