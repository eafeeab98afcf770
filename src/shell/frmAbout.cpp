#include "shell/frmAbout.h"

#include "cues_and_links/Links.h"
#include "widgets/ClickableLabel.h"
#include "widgets/Placement.h"
#include "widgets/SharedForm.h"
#include "widgets/WindowLook.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const QString LineEnd = "\r\n";

const QString MakerDescription =
    "Orlentis is a small independent software house that makes plain, dependable desktop utilities for "
    "everyday use.";
const QString CopyrightLine = "Copyright \u00a9 2004-2005 Orlentis. All rights reserved.";
const QString AuthorshipSentence = "Tolvane was written by Tomas Veller of Orlentis: sign in at "
                                   "www.orlentis.example to be told of new versions and updates.";
const QStringList ContactLines = {
    "Orlentis",       "1200 Example Parkway, Suite 4", "Springfield, IL 62701",
    "(217) 555-0142", "http://www.orlentis.example/",
};

SharedForm<frmAbout>& sharedAbout()
{
    static SharedForm<frmAbout> instance;
    return instance;
}

QLabel* textLabel(QWidget* parent, const QRect& geometry, const QFont& font)
{
    auto* label = Place(new QLabel(parent), geometry, font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("About Tolvane & Author");
    setWindowIcon(ProgramIcon());
    setFont(SansSerifFont(8.25, false));
    setFixedSize(5700 / TwipsPerPixel, 4320 / TwipsPerPixel);

    const QFont regular = SansSerifFont(8.25, false);
    cmdOK = Place(new QPushButton("OK", this), Twips(4320, 3720, 1215, 375), SansSerifFont(8.25, true));
    cmdOK->setDefault(true);
    lblContact = textLabel(this, Twips(120, 2280, 4080, 1575), regular);
    lblAboutSieve = textLabel(this, Twips(120, 1440, 5460, 615), regular);
    lblCopyright = textLabel(this, Twips(120, 1080, 5460, 255), regular);
    lblOrlentis = textLabel(this, Twips(1680, 120, 3900, 855), regular);
    imgOrlentis = Place(new ClickableLabel(this), Twips(120, 120, 1440, 720), regular);
    imgOrlentis->setPixmap(QPixmap(":/ui/orlentis_logo.png"));
    imgOrlentis->setAccessibleName("Orlentis logo");
    imgOrlentis->setAccessibleDescription("Opens the Orlentis web site");

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(imgOrlentis, &ClickableLabel::clicked, this, &frmAbout::imgOrlentis_Click);
}

void frmAbout::Form_Load()
{
    QString contact = "Contact:" + LineEnd;
    for (const QString& line : ContactLines)
        contact += line + LineEnd;
    lblOrlentis->setText(MakerDescription + LineEnd);
    lblCopyright->setText(CopyrightLine);
    lblAboutSieve->setText(AuthorshipSentence);
    lblContact->setText(contact);
    CentreOnScreen(this);
}

void frmAbout::cmdOK_Click()
{
    UnloadAboutForm();
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::imgOrlentis_Click()
{
    OpenLink(QString(Links::MakerSite) + "/");
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    event->accept();
    UnloadAboutForm();
}

void ShowAboutForm()
{
    if (frmAbout* form = sharedAbout().load())
        ShowInFront(form);
}

frmAbout* LoadedAboutForm()
{
    return sharedAbout().loaded();
}

void UnloadAboutForm()
{
    sharedAbout().unload();
}
