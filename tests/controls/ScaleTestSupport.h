#pragma once

// Helpers shared by the radio scale tests: a scale with a fake clock and
// fake modifier keys, synthesised mouse events, and a signal recorder.

#include "controls/RadioScale.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStringList>

#include <memory>

struct FakeInputs
{
    qint64 now = 1000;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;

    void attach(TRadioScale &scale)
    {
        scale.SetTickSource([this] { return now; });
        scale.SetModifierSource([this] { return modifiers; });
    }
};

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

// Records every event of the scale, in order, as "Name(arg)".
class ScaleEventLog : public QObject
{
public:
    QStringList lines;

    explicit ScaleEventLog(TRadioScale &s)
    {
        auto add = [this](const QString &line) { lines << line; };
        connect(&s, &TRadioScale::OnFreqChangeStart, this, [add](int f) { add(QString("OnFreqChangeStart(%1)").arg(f)); });
        connect(&s, &TRadioScale::OnFreqChangeStop, this, [add](int f) { add(QString("OnFreqChangeStop(%1)").arg(f)); });
        connect(&s, &TRadioScale::OnFreqChanged, this, [add](int f) { add(QString("OnFreqChanged(%1)").arg(f)); });
        connect(&s, &TRadioScale::OnFreqAssigned, this, [add](int f) { add(QString("OnFreqAssigned(%1)").arg(f)); });
        connect(&s, &TRadioScale::OnSliderDblClk, this, [add] { add("OnSliderDblClk"); });
        connect(&s, &TRadioScale::OnScaleDblClk, this, [add] { add("OnScaleDblClk"); });
        connect(&s, &TRadioScale::OnFqMarkerDblClk, this, [add](int i) { add(QString("OnFqMarkerDblClk(%1)").arg(i)); });
        connect(&s, &TRadioScale::OnMouseDown, this, [add] { add("OnMouseDown"); });
        connect(&s, &TRadioScale::OnMouseUp, this, [add] { add("OnMouseUp"); });
        connect(&s, &TRadioScale::OnBandChange, this, [add](int i) { add(QString("OnBandChange(%1)").arg(i)); });
        connect(&s, &TRadioScale::OnFqMarkerClick, this, [add](int i) { add(QString("OnFqMarkerClick(%1)").arg(i)); });
    }

    QStringList take()
    {
        QStringList out = lines;
        lines.clear();
        return out;
    }
};

inline std::unique_ptr<TFqMarker> makeMarker(qint32 f, const QString &caption, const QString &attributes = QString())
{
    auto m = std::make_unique<TFqMarker>();
    m->Frequency = f;
    m->Caption = caption;
    m->Mode = "CW";
    m->Attributes = attributes;
    return m;
}
