#include "base/Settings.h"
#include "cat/ComSettings.h"
#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTreeWidget>

namespace {

TComSettingsFrm::PortSource portsNamed(const QStringList &names)
{
    return [names] {
        QList<TPortInfo> ports;
        for (const QString &name : names)
            ports.append(TPortInfo{name, "Communications Port", "serial", "(Standard port types)"});
        return ports;
    };
}

QStringList entries(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

void clearStoredSettings()
{
    for (const char *name : {"Tcvr", "Com", "Speed", "Dtr", "Rts", "HamlibModel", "RigctldAddress"})
        WriteSetting(QString::fromLatin1(name), QString());
}

} // namespace

class TestComSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearStoredSettings(); }

    void portsAreSortedNaturally()
    {
        TComSettingsFrm linux(nullptr, portsNamed({"ttyUSB0", "ttyS10", "ttyS2", "ttyACM0", "ttyUSB1"}));
        QStringList list;
        QVERIFY(linux.EnumerateComPorts(list));
        QStringList names;
        for (const QString &entry : list)
            names << entry.section(' ', 0, 0);
        QCOMPARE(names, QStringList({"ttyACM0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1"}));
        QVERIFY(!TComSettingsFrm::PortNameLess("COM3", "COM3"));
    }

    void noPortGivesTheFallbackEntries()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({}));
        QStringList list;
        QVERIFY(!dialog.EnumerateComPorts(list));
        dialog.FormShow();
        const QStringList names = TComSettingsFrm::FallbackPortNames();
        QCOMPARE(dialog.ComCBx->count(), 30);
        QCOMPARE(dialog.ComCBx->itemText(29), names.value(29) + " (no more info)");
        QCOMPARE(dialog.ComCBx->currentIndex(), -1);
    }

    void storedPortIsSelectedOrMarkedStale()
    {
        WriteSetting("Com", "COM3");
        TComSettingsFrm dialog(nullptr, portsNamed({"COM10", "COM3", "COM1"}));
        QCOMPARE(dialog.SelectedPort, QStringLiteral("COM3"));
        dialog.FormShow();
        QCOMPARE(dialog.ComCBx->currentIndex(), 1);

        // The blank after the name is part of the test: COM1 is not COM10.
        TComSettingsFrm onlyTen(nullptr, portsNamed({"COM10"}));
        onlyTen.SelectedPort = "COM1";
        onlyTen.FormShow();
        QCOMPARE(entries(onlyTen.ComCBx),
                 QStringList({"COM10 (Communications Port, serial, (Standard port types))",
                              "COM1 (Port doesn't exist any longer)"}));
        QCOMPARE(onlyTen.ComCBx->currentIndex(), 1);
        // Choosing the stale entry still connects to that name.
        onlyTen.accept();
        QCOMPARE(onlyTen.result(), int(QDialog::Accepted));
        QCOMPARE(ReadSetting("Com"), QStringLiteral("COM1"));
    }

    void typedDevicePathIsAccepted()
    {
        const QString path = testenv::sandboxPath("dev") + "/pts-like";
        QFile device(path);
        QVERIFY(device.open(QIODevice::WriteOnly));
        device.close();
        TComSettingsFrm dialog(nullptr, portsNamed({"ttyS0"}));
        dialog.FormShow();
        dialog.ComCBx->setEditText(path);
        dialog.accept();
        QCOMPARE(ReadSetting("Com"), path);
        // Shown again, an existing typed path is listed as itself and selected.
        dialog.FormShow();
        QCOMPARE(dialog.ComCBx->currentText(), path);
        QCOMPARE(dialog.ComCBx->count(), 2);
        // A vanished one is marked.
        QFile::remove(path);
        dialog.FormShow();
        QCOMPARE(dialog.ComCBx->currentText(), path + " (Port doesn't exist any longer)");
    }

    void okWithoutPortRefusesAndWritesNothing()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({"COM1"}));
        testenv::PromptRecorder prompts;
        dialog.FormShow();
        dialog.setResult(QDialog::Rejected);
        dialog.accept();
        QCOMPARE(prompts.texts(), QStringList({"No COM port selected."}));
        QCOMPARE(prompts.lastParent.data(), static_cast<QWidget *>(&dialog));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(ReadSetting("Tcvr").isEmpty());
    }

    void okWritesTheFiveSettingsButNoCheckBox()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({"COM1", "COM4"}));
        dialog.FormShow();
        dialog.ComCBx->setCurrentIndex(1);
        dialog.ComCBxChange();
        dialog.SpeedCBx->setCurrentIndex(2);
        dialog.TcvrTypeCBx->setCurrentIndex(3);
        dialog.DtrCBx->setCurrentIndex(2);
        dialog.RtsCBx->setCurrentIndex(3);
        dialog.SaveLogChk->setChecked(true);
        dialog.accept();
        QStringList stored;
        for (const char *name : {"Tcvr", "Com", "Speed", "Dtr", "Rts"})
            stored << ReadSetting(QString::fromLatin1(name));
        QCOMPARE(stored, QStringList({"FT-897", "COM4", "38400", "2", "3"}));

        // A new dialog (the next start) reads them back; the check box is not kept.
        TComSettingsFrm again(nullptr, portsNamed({"COM1", "COM4"}));
        QVERIFY(!again.SaveLogChk->isChecked());
        const TSerialSettings s = again.SerialSettings();
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(s.Port).arg(s.TcvrIndex).arg(s.SpeedText).arg(s.Dtr).arg(s.Rts),
                 QStringLiteral("COM4 3 38400 2 3"));
        again.FormShow();
        const TLogHeader h = again.LogHeader();
        QCOMPARE(QStringList({h.SelectedPort, h.PortEntry, h.Speed, h.Tcvr, h.Dtr, h.Rts}),
                 QStringList({"COM4", "COM4 (Communications Port, serial, (Standard port types))", "38400", "FT-897",
                              "Hand-shake", "Toggle"}));
    }

    void badStoredValues()
    {
        WriteSetting("Tcvr", "IC-7300");
        WriteSetting("Speed", "115200");
        WriteSetting("Dtr", "7");
        WriteSetting("Rts", "x");
        TComSettingsFrm dialog(nullptr, portsNamed({}));
        QCOMPARE(dialog.TcvrTypeIndex(), 0);
        QCOMPARE(dialog.SpeedCBx->currentIndex(), -1);
        QCOMPARE(dialog.DtrCBx->currentIndex(), 0);
        QCOMPARE(dialog.RtsCBx->currentIndex(), 0);
        QCOMPARE(TCatLink::LineSpeed(dialog.SerialSettings().SpeedText), 4800);
    }

    void speedAndLineDrawing()
    {
        WriteSetting("Speed", "57600");
        TComSettingsFrm dialog(nullptr, portsNamed({}));
        QCOMPARE(dialog.SpeedCBx->currentText(), QStringLiteral("57600"));
        // Look of an entry (note, italic, grey) of the speed list of a model, or of a list of choices.
        const struct { bool speed; const char *modelOrChoices, *entry; bool selected; const char *look; } rows[] = {
            {true, "FT-817", "57600", true, "(not available) 1 0"}, {true, "FT-817", "57600", false, "(not available) 1 1"},
            {true, "FT-847", "57600", false, " 0 0"},               {true, "FT-847", "38400", false, "(not available) 1 1"},
            {true, "FT-817", "4800", false, "(tcvr default) 0 0"},
            {false, "Disabled,Enabled,Hand-shake,Toggle", "Toggle", false, " 0 0"},
            {false, "Disabled,Enabled", "Hand-shake", false, " 1 1"}};
        for (const auto &row : rows) {
            const QString list = QString::fromLatin1(row.modelOrChoices);
            const TItemLook look = row.speed ? TComSettingsFrm::SpeedItemLook(TcvrTypeAt(TcvrTypeIndex(list)), row.entry, row.selected)
                                             : TComSettingsFrm::ChoiceItemLook(list, row.entry, row.selected);
            QCOMPARE(QStringLiteral("%1 %2 %3").arg(look.Note).arg(look.Italic).arg(look.Grey), QLatin1String(row.look));
        }
        // Changing the model changes no selection.
        dialog.TcvrTypeCBx->setCurrentIndex(1);
        QCOMPARE(dialog.SpeedCBx->currentText(), QStringLiteral("57600"));
    }

    void hamlibRadioChosenStoredAndReadBack()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({"ttyUSB0"}));
        testenv::PromptRecorder prompts;
        dialog.FormShow();
        dialog.ComCBx->setCurrentIndex(0);
        dialog.TcvrTypeCBx->setCurrentText(TComSettingsFrm::HamlibRowText);
        QVERIFY(dialog.HamlibPnl->isVisibleTo(&dialog) && !dialog.NetworkPnl->isVisibleTo(&dialog));
        QCOMPARE(entries(dialog.SpeedCBx).last(), QStringLiteral("115200"));
        dialog.accept();
        dialog.HamlibSearchEdt->setText("icom 7300");
        QList<QTreeWidgetItem *> shown;
        for (int i = 0; i < dialog.HamlibModelsLst->topLevelItemCount(); ++i)
            if (!dialog.HamlibModelsLst->topLevelItem(i)->isHidden())
                shown << dialog.HamlibModelsLst->topLevelItem(i);
        QCOMPARE(shown.size(), 1);
        dialog.HamlibModelsLst->setCurrentItem(shown.first());
        dialog.accept();
        QCOMPARE(prompts.texts(), QStringList({"No radio model selected."}));
        QCOMPARE(ReadSetting("Tcvr") + u' ' + ReadSetting("HamlibModel"), QStringLiteral("Other radio (Hamlib) 3073"));

        TComSettingsFrm again(nullptr, portsNamed({"ttyUSB0"}));
        const TSerialSettings s = again.SerialSettings();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(s.HamlibModel).arg(s.Port, again.SelectedTcvrType().Model),
                 QStringLiteral("3073 ttyUSB0 IC-7300"));
    }

    void networkRadioNeedsAnAddressButNoPort()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({}));
        testenv::PromptRecorder prompts;
        dialog.FormShow();
        dialog.PresetRigctl("shack pi");
        QVERIFY(!dialog.ComCBx->isEnabled() && dialog.NetworkPnl->isVisibleTo(&dialog));
        dialog.accept();
        dialog.RigctldAddressEdt->setText("shack-pi:4532");
        dialog.accept();
        QCOMPARE(prompts.texts(), QStringList({"The rigctld address must be HOST:PORT (for example localhost:4532)."}));
        TComSettingsFrm again(nullptr, portsNamed({}));
        const TSerialSettings s = again.SerialSettings();
        QCOMPARE(QStringLiteral("%1 %2").arg(s.HamlibModel).arg(s.Port), QStringLiteral("2 shack-pi:4532"));
        // Back to a built-in model: old settings read as before.
        again.PresetPortAndModel("ttyS0", "FT-857");
        QCOMPARE(again.SerialSettings().HamlibModel, 0);
        QCOMPARE(entries(again.SpeedCBx), QStringList({"4800", "9600", "38400", "57600"}));
    }

    void presetFromTheCommandLine()
    {
        TComSettingsFrm dialog(nullptr, portsNamed({}));
        QVERIFY(dialog.PresetPortAndModel("/dev/pts/3", "FT-857"));
        QCOMPARE(dialog.SelectedPort, QStringLiteral("/dev/pts/3"));
        QCOMPARE(dialog.TcvrTypeIndex(), 2);
        QVERIFY(dialog.PresetPortAndModel(QString(), "ft-847"));
        QCOMPARE(dialog.TcvrTypeIndex(), 1);
        QVERIFY(!dialog.PresetPortAndModel("ttyUSB0", "FT-1000"));
        QCOMPARE(dialog.TcvrTypeIndex(), 1);
        QCOMPARE(dialog.SelectedPort, QStringLiteral("ttyUSB0"));
    }
};

TARNWICK_TEST_CLASS(TestComSettings)
#include "tst_comsettings.moc"
