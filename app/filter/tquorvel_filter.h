#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The filter dialog: which files a folder scan takes, and whether it searches subfolders. Its
// controls are its state; every change takes effect at once and there is no cancel.
class Tquorvel_filter : public QDialog
{
    Q_OBJECT
public:
    explicit Tquorvel_filter(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QRadioButton* alle = nullptr;
    QRadioButton* auswahl = nullptr;
    QLineEdit* filter = nullptr;
    QCheckBox* uv = nullptr;
    QPushButton* OK = nullptr;

    void auswahlClick();
    // False when the typed character is swallowed.
    static bool filterKeyPress(QChar key);
    void FormActivate();
    void OKClick();
    void Sprache();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
