// Tuning from the keyboard and the mouse wheel. The main window previews
// every key pressed in it before the focused control, and every wheel turn
// over it, through an event filter on the application.

#include "app/Main.h"

#include "app/Options.h"
#include "controls/Digits2.h"
#include "controls/RadioScale.h"
#include "data/BandKeys.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

class MainWindowFilter : public QObject
{
public:
    explicit MainWindowFilter(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (inWindow(watched)) {
                auto key = static_cast<QKeyEvent *>(event);
                return w.FormKeyDown(key->key(), key->modifiers());
            }
            break;
        case QEvent::KeyRelease:
            // A held key repeats its press only: the system's own key-up
            // messages while it repeats are not releases.
            if (inWindow(watched) && !static_cast<QKeyEvent *>(event)->isAutoRepeat())
                w.FormKeyUp(static_cast<QKeyEvent *>(event)->key());
            break;
        case QEvent::Wheel:
            if (inWindow(watched)) {
                auto wheel = static_cast<QWheelEvent *>(event);
                const QPoint delta = wheel->angleDelta();
                w.FormMouseWheel(delta.y() != 0 ? delta.y() : delta.x());
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                if (watched == w.MhzLbl)
                    w.MhzLblClick();
                else if (watched == w.kHzLbl)
                    w.kHzLblClick();
            }
            break;
        case QEvent::Resize:
            if (watched == w.ScalePnl)
                w.ScalePnlResize();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Widgets of the main window itself; dialogs and menus have their own keys.
    bool inWindow(QObject *watched) const
    {
        auto widget = qobject_cast<QWidget *>(watched);
        return widget && widget->window() == &w;
    }

    TTarnwickFrm &w;
};

void TTarnwickFrm::SetupKeyboard()
{
    windowFilter = new MainWindowFilter(*this);
    qApp->installEventFilter(windowFilter);
}

void TTarnwickFrm::SetModifierSource(ModifierSource source)
{
    modifierSource = std::move(source);
}

Qt::KeyboardModifiers TTarnwickFrm::KeyboardModifiers() const
{
    return modifierSource ? modifierSource() : QGuiApplication::queryKeyboardModifiers();
}

int TTarnwickFrm::TuneStep(bool withModifiers) const
{
    const QString mode = CurrentMode();
    int step = OptionsFrm->CwTuneStep();
    if (mode == QLatin1String("WFM"))
        step = OptionsFrm->WfmTuneStep();
    else if (mode == QLatin1String("FM") || mode == QLatin1String("AM"))
        step = OptionsFrm->FmTuneStep();
    if (withModifiers) {
        const Qt::KeyboardModifiers held = KeyboardModifiers();
        const bool shift = held.testFlag(Qt::ShiftModifier);
        const bool ctrl = held.testFlag(Qt::ControlModifier);
        if (shift && ctrl)
            step *= 100;
        else if (shift)
            step *= 10;
    }
    return step;
}

namespace {

// A tuned frequency stays within the scale's outer limits: the radio is
// never sent a negative or an out-of-range frequency.
qint32 tunedBy(const TRadioScale &scale, qint64 delta)
{
    const qint64 f = qint64(scale.Frequency()) + delta;
    return qint32(qBound(qint64(scale.AbsLoFq()), f, qint64(scale.AbsHiFq())));
}

} // namespace

bool TTarnwickFrm::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (DigiScale->IsEditing()) {
        if (DigiScale->HandleKey(key))
            return true;
        if (key == Qt::Key_Space) {
            SetFreqUnit(GetFreqUnit() != 1 ? 1 : 2);
            return true;
        }
        return false;
    }
    if (OptionsFrm->IsDigiScaleKeystroke(key, shift)) {
        DigiScale->BeginUserEdit(0);
        return true;
    }

    const bool withShift = shift.testFlag(Qt::ShiftModifier);
    const bool withCtrl = shift.testFlag(Qt::ControlModifier);
    // Alt and Meta keys belong to the window manager and the menus.
    if (shift.testFlag(Qt::AltModifier) || shift.testFlag(Qt::MetaModifier))
        return false;

    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool right = key == Qt::Key_Right;
        KeyTuning = true;
        if (withCtrl && !withShift) {
            RadioScale->JumpToMarker(right, RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
            return true;
        }
        const int step = TuneStep(false) * (withCtrl ? 100 : withShift ? 10 : 1);
        RadioScale->SetFrequency(tunedBy(*RadioScale, right ? step : -step));
        QueueTuneCommands(RadioScale->Frequency(), TuneOrigin::Key);
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool up = key == Qt::Key_PageUp;
        if (withShift)
            RadioScale->ScrollMarkerRows(up);
        else
            ChangeBand(up);
        return true;
    }
    default:
        return false;
    }
}

void TTarnwickFrm::FormKeyUp(int key)
{
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && KeyTuning && GraphBtn->isChecked())
        RestartSpectrograph();
    KeyTuning = false;
}

void TTarnwickFrm::FormMouseWheel(int wheelDelta)
{
    const Qt::KeyboardModifiers held = KeyboardModifiers();
    const bool shift = held.testFlag(Qt::ShiftModifier);
    const bool ctrl = held.testFlag(Qt::ControlModifier);
    switch (OptionsFrm->MouseWheelCBx->currentIndex()) {
    case 1: // "Tune"
        if (ctrl && !shift)
            RadioScale->JumpToMarker(wheelDelta >= 1, RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
        else
            RadioScale->SetFrequency(tunedBy(*RadioScale, qint64(TuneStep(true)) * wheelDelta / 120));
        QueueTuneCommands(RadioScale->Frequency(), TuneOrigin::Wheel);
        break;
    case 2: // "Zoom"
        if (wheelDelta > 0)
            ZoomInMnuClick();
        else
            ZoomOutMnuClick();
        break;
    case 3: // "Change band"
        if (shift)
            RadioScale->ScrollMarkerRows(wheelDelta > 0);
        else
            ChangeBand(wheelDelta > 0);
        break;
    case 4: // "Scroll band horizontally"
        RadioScale->ScrollScale(wheelDelta >= 1);
        break;
    default:
        break;
    }
}

void TTarnwickFrm::ChangeBand(bool up)
{
    const int pressed = BandKeys->PressedButton();
    if (pressed >= 0) {
        const int next = up ? pressed + 1 : pressed - 1;
        QAbstractButton *neighbour = BandKeys->Button(next);
        if (neighbour && !neighbour->text().isEmpty())
            neighbour->click();
        return;
    }
    // Between two bands: the band above or below the gap. Its key switches
    // band as a click would, so that the radio and the mode keys follow.
    const std::vector<TBand> &bands = RadioScale->Bands;
    const qint32 f = RadioScale->Frequency();
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
        if (bands[i].High < f && bands[i + 1].Low > f) {
            const int target = int(up ? i + 1 : i);
            if (QAbstractButton *key = BandKeys->Button(target))
                key->click();
            else
                RadioScale->SelectBand(target);
            return;
        }
    }
}
