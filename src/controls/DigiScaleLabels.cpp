#include "controls/DigiScaleLabels.h"

#include "base/BgrColor.h"
#include "controls/DigiScaleText.h"

#include <QLabel>
#include <QPalette>

namespace {

void setFontColour(QLabel *label, quint32 bgr)
{
    if (!label)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, bgrToColor(bgr));
    label->setPalette(pal);
}

quint32 fontColour(const QLabel *label)
{
    return label ? colorToBgr(label->palette().color(QPalette::WindowText)) : UnitLabelDarkBgr;
}

} // namespace

void showFreqUnit(QLabel *khzLbl, QLabel *mhzLbl, int unit)
{
    const UnitLabelColours c = unitLabelColours(unit);
    setFontColour(khzLbl, c.khz);
    setFontColour(mhzLbl, c.mhz);
}

int shownFreqUnit(const QLabel *khzLbl, const QLabel *mhzLbl)
{
    return unitFromLabelColours(fontColour(khzLbl), fontColour(mhzLbl));
}

void setUnitLabelsSelectable(QLabel *khzLbl, QLabel *mhzLbl, bool selectable)
{
    for (QLabel *label : {khzLbl, mhzLbl}) {
        if (!label)
            continue;
        if (selectable)
            label->setCursor(Qt::PointingHandCursor);
        else
            label->unsetCursor();
    }
}

bool unitLabelSelectable(const QLabel *label)
{
    return label && label->testAttribute(Qt::WA_SetCursor)
        && label->cursor().shape() == Qt::PointingHandCursor;
}
