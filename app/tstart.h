#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window. It holds the UI language code, and closing it ends the program.
class Tstart : public QWidget
{
    Q_OBJECT
public:
    explicit Tstart(QWidget* parent = nullptr);

    QLabel* en1 = nullptr;    // English picture
    QLabel* Image1 = nullptr; // German picture
    QLabel* spr = nullptr;    // the UI language code
    QTimer* Timer1 = nullptr;

    int ticks() const { return m_ticks; }

    void sprache();
    void Timer1Timer();
    void Image1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int m_ticks = 0;
};
