#include "shell/frmSplash.h"

#include "core/ProgramInfo.h"
#include "core/Version.h"
#include "platform/Services.h"
#include "platform/Sleeper.h"
#include "shell/Splash.h"
#include "widgets/Placement.h"
#include "widgets/SharedForm.h"
#include "widgets/WindowLook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QThread>
#include <QWindow>

namespace {
constexpr int CountdownStepMs = 1000;

QString countdownText(int count)
{
    return Program::Title + " will continue in " + QString::number(count) + " seconds.";
}

SharedForm<frmSplash>& sharedSplash()
{
    static SharedForm<frmSplash> instance(false);
    return instance;
}

QLabel* label(const QString& caption, QWidget* parent, const QRect& geometry, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* control = Place(new QLabel(caption, parent), geometry, font);
    control->setAlignment(alignment);
    return control;
}

// A window is painted only once the window system has put it on the screen. The countdown never returns
// to the event loop, so wait here for that moment, handling no input meanwhile; a window system that
// never reports it costs at most a second.
void showOnScreen(QWidget* form)
{
    form->show();
    QElapsedTimer waited;
    waited.start();
    while (!form->windowHandle()->isExposed() && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    form->repaint();
}

void sleepStep()
{
    services().sleeper->sleepMs(CountdownStepMs);
}
} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setWindowTitle(Program::Title);
    setFixedSize(7380 / TwipsPerPixel, 4245 / TwipsPerPixel);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    fraSplash = new QFrame(this);
    fraSplash->setFrameShape(QFrame::Box);
    fraSplash->setGeometry(Twips(150, 60, 7080, 4080));

    imgLogo = new QLabel(fraSplash);
    imgLogo->setGeometry(Twips(360, 795, 1815, 1785));
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setPixmap(QPixmap(":/ui/tolvane-64.png").scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    lblCompanyProduct = label("CompanyProduct", fraSplash, Twips(2355, 600, 4500, 435), ArialFont(15.75, true));
    lblProductName = label("Product", fraSplash, Twips(2355, 1080, 4500, 765), ArialFont(20.25, true));
    lblPlatform = label("Win32", fraSplash, Twips(4860, 2100, 1995, 360), ArialFont(15.75, true), right);
    lblVersion = label("Version", fraSplash, Twips(4200, 2520, 2655, 300), ArialFont(12, true), right);
    lblCopyright =
        label("Copyright \u00a9 2005 Orlentis", fraSplash, Twips(3960, 3000, 2895, 255), ArialFont(8.25, false), right);
    lblCompany = label(Program::Maker, fraSplash, Twips(3960, 3240, 2895, 255), ArialFont(8.25, false), right);
    lblTimer = label("30", fraSplash, Twips(360, 3600, 3960, 255), SansSerifFont(8.25, true));
}

void frmSplash::Form_Load()
{
    lblVersion->setText("Version " + ProgramFullVersionText());
    lblCompanyProduct->setText(Program::Maker);
    lblProductName->setText(Program::Title);
    lblCompany->setText(Program::Maker);
    CentreOnScreen(this);
}

frmSplash* LoadedSplashForm()
{
    return sharedSplash().loaded();
}

// The thread sleeps between the steps and handles no events, so every change is painted explicitly.
// The splash takes no part in the program's lifetime: it shows only while its caller waits, and its
// unloading must never end the program (at start-up no other window is loaded yet).
void ShowSplashCountdown()
{
    frmSplash* splash = sharedSplash().load();
    splash->lblTimer->setText(countdownText(5));
    showOnScreen(splash);
    sleepStep();
    for (int count = 4; count >= 1; --count) {
        splash->lblTimer->setText(countdownText(count));
        splash->lblTimer->repaint();
        sleepStep();
    }
    splash->lblTimer->setText(Program::Title + " is loading.");
    splash->lblTimer->repaint();
    sharedSplash().unload();
}
