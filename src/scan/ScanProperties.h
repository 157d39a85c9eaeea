#pragma once

// The "Scan Properties" dialog the SCAN key shows: a range scan on the first
// page, a marker scan on the second, squelch watching and the choice of the
// scale's selection for both. It keeps its values for the whole run; the
// main window hands it the scale's range and selection before each showing.

#include "scan/ScanSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;

class TScanPropertiesFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TScanPropertiesFrm(QWidget *parent = nullptr);

    QTabWidget *PageControl1 = nullptr;
    QComboBox *DwellOnFreqCBx = nullptr;
    QComboBox *FreqStepCBx = nullptr;
    QComboBox *DwellOnFqMarkerCBx = nullptr;
    QComboBox *ModeCBx = nullptr;
    QComboBox *WatchSquelchCBx = nullptr;
    QCheckBox *ScanSelectedRangeChk = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The scale's range and its selection (the range again when there is
    // no selection), set before the dialog is shown.
    qint32 ScaleBegin = 0;
    qint32 ScaleEnd = 0;
    qint32 SelectionLow = 0;
    qint32 SelectionHigh = 0;

    void FormCreate();
    // Names the current mode in the second mode item; the choice stays.
    void FormShow(const QString &currentMode);
    void ScanSelectedRangeChkClick();

    qint32 RangeFrom() const;
    qint32 RangeTo() const;
    int Dwell() const;
    int Step() const;
    int Kind() const;
    QString ModeFilter() const;
    TScanSettings Settings() const;
};
