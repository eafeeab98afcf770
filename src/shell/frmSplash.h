#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The splash window: product, maker and version, and the countdown line. Nothing in it can be operated.
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    void Form_Load();

    QFrame* fraSplash = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblTimer = nullptr;
};

// The splash window while a countdown shows it, else null.
frmSplash* LoadedSplashForm();
