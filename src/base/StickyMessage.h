#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// An information box with "Don't show this message again". Silenced
// messages are remembered in the "Common" settings group under a mark made
// of the owner window's name and the message's first line.

// The mark for a message: "Tarnwick." + owner name (or "NoForm") + ":" + the
// first line with every character outside 33..175 removed, cut to 48
// characters, in lower case.
QString StickyValueName(const QString &text, const QWidget *owner);

class TStickyForm : public QDialog
{
    Q_OBJECT
public:
    explicit TStickyForm(QWidget *parent = nullptr);

    // Puts the text in and sizes the box: one text line per line feed plus
    // one, each as high as the letter "E"; the box is 105 px higher than the
    // text and 30 px wider than its widest trimmed line (at least 150 px).
    void SetMessage(const QString &text);

    QLabel *MessageLbl = nullptr;
    QFrame *Bevel = nullptr;
    QCheckBox *DontShowChk = nullptr;
    QPushButton *OkBtn = nullptr;
};

// Shows the message unless it was silenced for this owner (owner may be
// nullptr). Ticking the box silences it for good.
void ShowStickyMessage(const QString &text, QWidget *owner);

// Tests replace the modal run of the box (an empty function restores it).
using StickyBoxRunner = std::function<void(TStickyForm &box)>;
void SetStickyBoxRunner(StickyBoxRunner runner);
