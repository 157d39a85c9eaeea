#pragma once

class QObject;

// Saves and restores the state of controls under their component names
// (QObject::objectName), as text values in the "Default" settings group.
// Value names start with "Tarnwick." and continue with the control's name;
// containers add their own name in front of their children's.
//
// How Qt controls count:
//   containers   a window (form), QTabWidget (page control: walks its pages),
//                a page of a QTabWidget (tab sheet), QGroupBox;
//   every level  QCheckBox, QRadioButton, checkable QToolButton (speed
//                button), checkable QAction (menu item), RadioGroupBox
//                (radio group: item index), QLineEdit (edit box),
//                QMenu (popup menu: ".Item" + i captions);
//   top level    QComboBox (index, or text when editable), plain QFrame or
//                CaptionPanel (".Color" as blue-green-red number,
//                ".Visible"), QListWidget (saved, never restored),
//                QPlainTextEdit (memo: ".LinesCount", ".Line" + i).
// A plain QFrame is a panel, not a container: what lies inside is skipped.
// Controls without an object name are not stored.
//
// Restoring leaves a control unchanged when its value is missing, and a
// combo box or radio group when its stored index names no item. A stored
// number that cannot be read stops that control (a panel keeps what was
// applied before it); the walk goes on with the next control.

// Saving returns false when a value could not be written (the settings
// store is not writable); the caller tells the operator.
bool SaveControlState(QObject *control);
void LoadControlState(QObject *control);
