#pragma once

#include <QDialog>

class ClickableLabel;
class QLabel;
class QPushButton;

// The about box: the maker's logo and description, the copyright, who wrote the program and how to
// reach the maker. Modeless; one shared instance. A dialog, so that Esc closes it and screen readers
// present it as one.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void imgOrlentis_Click();

    QPushButton* cmdOK = nullptr;
    QLabel* lblContact = nullptr;
    QLabel* lblAboutSieve = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblOrlentis = nullptr;
    ClickableLabel* imgOrlentis = nullptr;

public slots:
    // Esc: the same as "OK".
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
};

// Loads the shared about box when needed (running its load handler), then shows it and brings it forward.
void ShowAboutForm();
// The shared about box while it is loaded, else null.
frmAbout* LoadedAboutForm();
// Hides and releases the about box; the program ends if no other window is loaded.
void UnloadAboutForm();
