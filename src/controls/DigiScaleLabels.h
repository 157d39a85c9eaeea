#pragma once

// The "MHz" and "kHz" labels beside the digital display carry the display's
// unit in their font colour, and while a typed entry is open they take the
// hand-point cursor and a click picks the unit of the entry. These helpers
// keep that convention in one place for the main window.

class QLabel;

// Lights the label of the unit (DigiUnitKhz / DigiUnitMhz), darkens the other;
// DigiUnitNone darkens both.
void showFreqUnit(QLabel *khzLbl, QLabel *mhzLbl, int unit);
// The unit the labels show: MHz when its label is lit, else kHz when that one
// is, else DigiUnitNone.
int shownFreqUnit(const QLabel *khzLbl, const QLabel *mhzLbl);

// Hand-point cursor on both labels while an entry is open, default otherwise.
void setUnitLabelsSelectable(QLabel *khzLbl, QLabel *mhzLbl, bool selectable);
// Whether a click on this label should pick its unit (it shows the hand cursor).
bool unitLabelSelectable(const QLabel *label);
