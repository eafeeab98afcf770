#include "shell/frmSplash.h"

#include "cues_and_links/Links.h"
#include "platform/Services.h"
#include "platform/Sleeper.h"
#include "shell/Splash.h"
#include "core/Version.h"
#include "widgets/WindowLook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace {
constexpr int CountdownStepMs = 1000;

QString countdownText(int count)
{
    return QString("Tolvane") + " will continue in " + QString::number(count) + " seconds.";
}

QPointer<frmSplash>& sharedSplash()
{
    static QPointer<frmSplash> instance;
    return instance;
}

QLabel* label(const QString& caption, QWidget* parent, const QRect& geometry, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* control = new QLabel(caption, parent);
    control->setGeometry(geometry);
    control->setFont(font);
    control->setAlignment(alignment);
    return control;
}

frmSplash* loadSplash()
{
    auto* form = new frmSplash();
    sharedSplash() = form;
    form->Form_Load();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
    return form;
}

void unloadSplash()
{
    frmSplash* form = sharedSplash();
    sharedSplash() = nullptr;
    form->hide();
    delete form;
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
    setWindowTitle("Tolvane");
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
    lblCompany = label("Orlentis", fraSplash, Twips(3960, 3240, 2895, 255), ArialFont(8.25, false), right);
    lblTimer = label("30", fraSplash, Twips(360, 3600, 3960, 255), SansSerifFont(8.25, true));
}

void frmSplash::Form_Load()
{
    lblVersion->setText("Version " + ProgramFullVersionText());
    lblCompanyProduct->setText(Links::MakerName);
    lblProductName->setText("Tolvane");
    lblCompany->setText(Links::MakerName);
}

frmSplash* LoadedSplashForm()
{
    return sharedSplash().data();
}

// The thread sleeps between the steps and handles no events, so every change is painted explicitly.
// The splash takes no part in the program's lifetime: it shows only while its caller waits, and its
// unloading must never end the program (at start-up no other window is loaded yet).
void ShowSplashCountdown()
{
    frmSplash* splash = loadSplash();
    splash->lblTimer->setText(countdownText(5));
    showOnScreen(splash);
    sleepStep();
    for (int count = 4; count >= 1; --count) {
        splash->lblTimer->setText(countdownText(count));
        splash->lblTimer->repaint();
        sleepStep();
    }
    splash->lblTimer->setText("Tolvane is loading.");
    splash->lblTimer->repaint();
    unloadSplash();
}
