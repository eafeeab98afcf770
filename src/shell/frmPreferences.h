#pragma once

#include "settings/PreferencesOpening.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct PreferencesChoices;

// The preferences dialog: name, state and station, time server, five switches. Shown modeless; however
// it closes, its unload runs the start-up sequence again, which brings the main window back.
class frmPreferences final : public QDialog {
    Q_OBJECT
public:
    explicit frmPreferences(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Unload();
    void cboState_Click();
    void cboStation_Change();
    void cboTimeServer_Change();
    void cmdSave_Click();
    void cmdCancel_Click();

    void LoadStates();
    void LoadStations();
    void LoadTimeServers();

    // What the controls show, for saving.
    PreferencesChoices choices() const;

    // Controls, named as designed.
    QLabel* lblName = nullptr;
    QLineEdit* txtMyName = nullptr;
    QLabel* lblState = nullptr;
    QComboBox* cboState = nullptr;
    QLabel* lblLocation = nullptr;
    QComboBox* cboStation = nullptr;
    QLabel* lblTimeServer = nullptr;
    QComboBox* cboTimeServer = nullptr;
    QCheckBox* chkAutorun = nullptr;
    QCheckBox* chkSound = nullptr;
    QCheckBox* chkSplash = nullptr;
    QCheckBox* chkUpdate = nullptr;
    QCheckBox* chkUTC = nullptr;
    QCheckBox* chkPreciseTime = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdSave = nullptr;

public slots:
    // Esc: the same as "&Cancel".
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void colourTexts();
    void arrangeTabOrder();
    void connectControls();

    // What the dialog opened on, from the stored values.
    PreferencesOpening opening_;
};

// The one shared dialog, or null when it is not loaded (or is unloading).
frmPreferences* LoadedPreferencesForm();
// Shows the dialog, loading it when needed. Asked while the dialog closes (the start-up sequence of a
// first run that was never saved), it shows nothing, and the program ends with the dialog.
void ShowPreferencesForm();
// Runs the unload handler while the dialog still counts as loaded (so the program cannot end before
// the start-up sequence has brought the main window back), then releases it.
void UnloadPreferencesForm();

// How the dialog ended, told to whoever installed the end handler: a save, then, however it closes
// (save, cancel, close box), its closing.
enum class PreferencesEnd { Saved, Closed };
// The start-up sequence installs this: it is the way back from the dialog to the main window.
void SetPreferencesEndHandler(std::function<void(PreferencesEnd)> handler);
