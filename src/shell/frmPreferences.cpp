#include "shell/frmPreferences.h"

#include "core/Text.h"
#include "platform/Autostart.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "settings/Preferences.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"
#include "settings/StateList.h"
#include "settings/StationDirectory.h"
#include "timesync/TimeServers.h"
#include "widgets/Placement.h"
#include "widgets/SharedForm.h"
#include "widgets/Tell.h"
#include "widgets/TextColour.h"
#include "widgets/WindowLook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace {
const QColor DarkBlue(0, 0, 64);

QCheckBox* checkBox(const QString& caption, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setChecked(checked);
    return box;
}

SharedForm<frmPreferences>& sharedPreferences()
{
    static SharedForm<frmPreferences> instance;
    return instance;
}

std::function<void(PreferencesEnd)>& endHandler()
{
    static std::function<void(PreferencesEnd)> handler;
    return handler;
}

void notifyEnd(PreferencesEnd end)
{
    if (endHandler())
        endHandler()(end);
}
} // namespace

void SetPreferencesEndHandler(std::function<void(PreferencesEnd)> handler)
{
    endHandler() = std::move(handler);
}

frmPreferences* LoadedPreferencesForm()
{
    return sharedPreferences().loaded();
}

void ShowPreferencesForm()
{
    if (frmPreferences* form = sharedPreferences().load())
        ShowInFront(form);
}

void UnloadPreferencesForm()
{
    sharedPreferences().unload();
}

frmPreferences::frmPreferences(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Preferences");
    setWindowIcon(ProgramIcon());
    // A close box, but no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(SansSerifFont(8.25, true));
    // The white background comes with its partner, so no text on it takes a light system colour.
    // Only these roles are the dialog's own: the rest follow the system palette.
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, DarkBlue);
    setPalette(palette);
    setAutoFillBackground(true);
    buildLayout();
    colourTexts();
    arrangeTabOrder();
    connectControls();
}

void frmPreferences::buildLayout()
{
    setFixedSize(5805 / TwipsPerPixel, 2565 / TwipsPerPixel);
    const QFont font = SansSerifFont(8.25, true);

    // The labels' underlined letters take Alt to their fields; the captions read as designed.
    lblName = Place(new QLabel("&Name", this), Twips(240, 120, 495, 195), font, "lblName");
    txtMyName = Place(new QLineEdit(this), Twips(840, 120, 2295, 285), font, "txtMyName");
    lblState = Place(new QLabel("S&tate", this), Twips(3360, 120, 465, 195), font, "lblState");
    cboState = Place(new QComboBox(this), Twips(3960, 120, 1695, 315), font, "cboState");
    lblLocation = Place(new QLabel("St&ation", this), Twips(120, 480, 615, 195), font, "lblLocation");
    cboStation = Place(new QComboBox(this), Twips(840, 480, 4815, 315), font, "cboStation");
    lblTimeServer = Place(new QLabel("T&ime Server", this), Twips(120, 840, 1035, 195), font, "lblTimeServer");
    cboTimeServer = Place(new QComboBox(this), Twips(1320, 840, 4335, 315), font, "cboTimeServer");
    chkAutorun = Place(checkBox("Add to Startup", true, this), Twips(120, 1320, 1575, 255), font, "chkAutorun");
    chkSound = Place(checkBox("Sounds", true, this), Twips(2040, 1320, 975, 255), font, "chkSound");
    chkSplash = Place(checkBox("Display Splash Screen", true, this), Twips(3360, 1320, 2295, 255), font, "chkSplash");
    chkUpdate = Place(checkBox("Auto Update", true, this), Twips(120, 1680, 1575, 255), font, "chkUpdate");
    chkUTC = Place(checkBox("24 Hour Time Format", false, this), Twips(3360, 1680, 2295, 255), font, "chkUTC");
    chkPreciseTime =
        Place(checkBox("Precise Time (NTP)", true, this), Twips(120, 2040, 2295, 255), font, "chkPreciseTime");
    cmdCancel = Place(new QPushButton("&Cancel", this), Twips(3600, 2040, 975, 375), font, "cmdCancel");
    cmdSave = Place(new QPushButton("&Save", this), Twips(4680, 2040, 975, 375), font, "cmdSave");

    // Names of any length are kept whole (a line edit would cut them at 32767 characters).
    txtMyName->setMaxLength(std::numeric_limits<int>::max());
    // The time-server box takes typing but never adds what is typed to its list.
    cboTimeServer->setEditable(true);
    cboTimeServer->setInsertPolicy(QComboBox::NoInsert);
    cboTimeServer->setCompleter(nullptr);
    cmdSave->setDefault(true);

    // Each label names its field, for Alt+letter and for screen readers.
    lblName->setBuddy(txtMyName);
    lblState->setBuddy(cboState);
    lblLocation->setBuddy(cboStation);
    lblTimeServer->setBuddy(cboTimeServer);
    cboTimeServer->lineEdit()->setAccessibleName("Time Server");
}

// Labels, check boxes, the text box and the drop-down boxes write in dark blue. The boxes keep the
// system's field and button backgrounds; where those are dark, their text keeps the system's colour.
void frmPreferences::colourTexts()
{
    QWidget* const written[] = {lblName,     txtMyName,  lblState,      cboState,
                                lblLocation, cboStation, lblTimeServer, cboTimeServer};
    for (QWidget* widget : written)
        WriteTextIn(widget, DarkBlue);
    // Check boxes are white throughout, their boxes included, so their dark-blue marks always show.
    QPalette whiteBoxes;
    whiteBoxes.setColor(QPalette::Base, Qt::white);
    for (QCheckBox* box : {chkAutorun, chkSound, chkSplash, chkUpdate, chkUTC, chkPreciseTime})
        WriteTextIn(box, DarkBlue, whiteBoxes);
}

void frmPreferences::arrangeTabOrder()
{
    QWidget* const order[] = {txtMyName, cboState,  cboStation, cboTimeServer,  chkAutorun, chkSound,
                              chkSplash, chkUpdate, chkUTC,     chkPreciseTime, cmdSave,    cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmPreferences::connectControls()
{
    connect(cboState, &QComboBox::currentIndexChanged, this, &frmPreferences::cboState_Click);
    connect(cboStation, &QComboBox::currentTextChanged, this, &frmPreferences::cboStation_Change);
    connect(cboTimeServer, &QComboBox::editTextChanged, this, &frmPreferences::cboTimeServer_Change);
    connect(cmdSave, &QPushButton::clicked, this, &frmPreferences::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPreferences::cmdCancel_Click);
}

void frmPreferences::Form_Load()
{
    AppSettings.MyName = ReadSetting(SettingName::MyName);
    if (!AppSettings.MyName.isEmpty())
        txtMyName->setText(TrimSpaces(AppSettings.MyName));
    // The dialog opens on what is stored, so that saving only a new name keeps everything else.
    opening_ = OpeningChoices(ReadStoredPreferences(), SettingsPresent(), services().autostart->exists());
    LoadStates();
    LoadTimeServers();
    chkAutorun->setChecked(opening_.autorun);
    chkSound->setChecked(opening_.sound);
    chkSplash->setChecked(opening_.splash);
    chkUpdate->setChecked(opening_.update);
    chkUTC->setChecked(opening_.utc);
    chkPreciseTime->setChecked(opening_.preciseTime);
    CentreOnScreen(this);
}

void frmPreferences::LoadStates()
{
    {
        // Filling the box selects nothing; only the selection below counts as a choice.
        const QSignalBlocker quiet(cboState);
        cboState->clear();
        cboState->addItems(SortedForListBox(StateNames()));
        cboState->setCurrentIndex(-1);
    }
    cboState->setCurrentIndex(cboState->findText(opening_.state));
}

void frmPreferences::cboState_Click()
{
    AppSettings.State = TrimSpaces(cboState->currentText());
    LoadStations();
}

void frmPreferences::LoadStations()
{
    cboStation->clear();
    // Only a state named exactly as in the list has stations; any other leaves the box empty.
    QStringList entries = StationDirectoryEntries(AppSettings.State);
    if (entries.isEmpty())
        return;
    if (AppSettings.State == opening_.state && !opening_.extraStationEntry.isEmpty())
        entries << opening_.extraStationEntry;
    cboStation->addItems(SortedForListBox(entries));
    // The stored station when this state lists it, else the state's first.
    cboStation->setCurrentIndex(std::max(0, cboStation->findText(opening_.stationEntry)));
}

void frmPreferences::cboStation_Change()
{
    AppSettings.Station = StationCode(cboStation->currentText());
}

void frmPreferences::LoadTimeServers()
{
    cboTimeServer->clear();
    cboTimeServer->addItems(TimeServerNames());
    const int stored = opening_.timeServer.isEmpty() ? 0 : cboTimeServer->findText(opening_.timeServer);
    cboTimeServer->setCurrentIndex(std::max(0, stored));
    // A stored server that is not in the list was typed: it comes back as typed.
    if (stored < 0)
        cboTimeServer->setEditText(opening_.timeServer);
}

void frmPreferences::cboTimeServer_Change()
{
    AppSettings.TimeServer = cboTimeServer->currentText();
}

PreferencesChoices frmPreferences::choices() const
{
    PreferencesChoices shown;
    shown.name = txtMyName->text();
    shown.stationText = cboStation->currentText();
    shown.timeServerText = cboTimeServer->currentText();
    shown.autorun = chkAutorun->isChecked();
    shown.sound = chkSound->isChecked();
    shown.splash = chkSplash->isChecked();
    shown.update = chkUpdate->isChecked();
    shown.utc = chkUTC->isChecked();
    shown.preciseTime = chkPreciseTime->isChecked();
    return shown;
}

void frmPreferences::cmdSave_Click()
{
    const SaveResult result = SavePreferences(choices(), AppSettings);
    if (!result.message.isEmpty())
        Tell(result.message);
    if (result.outcome == SaveOutcome::NameMissing) {
        txtMyName->setFocus();
        return;
    }
    // Nothing was stored: the dialog stays open with what the user typed.
    if (result.outcome == SaveOutcome::NotWritten)
        return;
    AppSettings = result.saved;
    notifyEnd(PreferencesEnd::Saved);
    UnloadPreferencesForm();
}

void frmPreferences::cmdCancel_Click()
{
    UnloadPreferencesForm();
}

void frmPreferences::reject()
{
    cmdCancel_Click();
}

void frmPreferences::closeEvent(QCloseEvent* event)
{
    event->accept();
    UnloadPreferencesForm();
}

void frmPreferences::Form_Unload()
{
    // Off the screen before the start-up sequence brings the main window back.
    hide();
    notifyEnd(PreferencesEnd::Closed);
}
