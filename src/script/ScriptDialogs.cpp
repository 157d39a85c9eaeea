#include "script/ScriptDialogs.h"

#include "base/Folders.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

ScriptMsgBoxAnswerer &msgBoxAnswerer()
{
    static ScriptMsgBoxAnswerer answerer;
    return answerer;
}

ScriptInputBoxAnswerer &inputBoxAnswerer()
{
    static ScriptInputBoxAnswerer answerer;
    return answerer;
}

// VBScript's answers.
enum { vbOK = 1, vbCancel, vbAbort, vbRetry, vbIgnore, vbYes, vbNo };

QString titleOr(const QString &title)
{
    return title.isEmpty() ? ApplicationTitle() : title;
}

} // namespace

void SetScriptMsgBoxAnswerer(ScriptMsgBoxAnswerer answerer)
{
    msgBoxAnswerer() = std::move(answerer);
}

void SetScriptInputBoxAnswerer(ScriptInputBoxAnswerer answerer)
{
    inputBoxAnswerer() = std::move(answerer);
}

int ShowScriptMsgBox(QWidget *parent, const QString &prompt, int buttons, const QString &title)
{
    if (msgBoxAnswerer())
        return msgBoxAnswerer()(prompt, buttons, title);

    using B = QMessageBox::StandardButton;
    // The buttons of each style, left to right, with the script's answer.
    static const std::vector<std::pair<B, int>> styles[] = {
        {{B::Ok, vbOK}},
        {{B::Ok, vbOK}, {B::Cancel, vbCancel}},
        {{B::Abort, vbAbort}, {B::Retry, vbRetry}, {B::Ignore, vbIgnore}},
        {{B::Yes, vbYes}, {B::No, vbNo}, {B::Cancel, vbCancel}},
        {{B::Yes, vbYes}, {B::No, vbNo}},
        {{B::Retry, vbRetry}, {B::Cancel, vbCancel}},
    };
    const int style = buttons & 0x0F;
    const auto &keys = styles[style < 6 ? style : 0];

    QMessageBox box(parent);
    box.setWindowTitle(titleOr(title));
    box.setText(prompt);
    switch (buttons & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    std::vector<QAbstractButton *> added;
    for (const auto &key : keys)
        added.push_back(box.addButton(key.first));
    const std::size_t defaultIndex = std::size_t((buttons >> 8) & 3);
    box.setDefaultButton(qobject_cast<QPushButton *>(added.at(defaultIndex < added.size() ? defaultIndex : 0)));
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i])
            return keys[i].second;
    // Closed without a button (Escape on a box without Cancel): its first.
    return keys.front().second;
}

std::optional<QString> ShowScriptInputBox(QWidget *parent, const QString &prompt, const QString &title,
                                          const QString &defaultText)
{
    if (inputBoxAnswerer())
        return inputBoxAnswerer()(prompt, title, defaultText);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, titleOr(title), prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
