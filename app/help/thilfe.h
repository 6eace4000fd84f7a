#pragma once

#include "app/help/infowidgets.h"

#include <QWidget>

class QPushButton;
class QTabWidget;

namespace qv {

class InfoFrame;

// The help and information window of one language: header picture, five pages, back and next.
// Closing it only hides it; the main window's menus show it again on a chosen page.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize clientSize{543, 495};

    // Shows the window (or brings it to the front) on the page named pageName ("pc_hilfe" ...).
    void showPage(const QString& pageName);

    QTabWidget* pageControl() const { return m_pc; }
    InfoFrame* infoFrame() const { return m_frame; }

    void backClick();
    void nextClick();
    void Image2MouseDown();
    void BrowseToCaption();

protected:
    explicit HelpWindow(Language language, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* m_panel = nullptr;
    QLabel* m_header = nullptr;
    QTabWidget* m_pc = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;

private:
    LinkLabel* link(const QString& name, const QString& caption, QWidget* parent);
    QWidget* textPage(const QString& name, const QList<QWidget*>& rows);
    QWidget* helpPage();
    QWidget* regardsPage();
    QWidget* softwarePage();
    QWidget* donatePage();
    QWidget* licencePage();

    Language m_language;
    InfoFrame* m_frame = nullptr;
};

} // namespace qv

class Thilfe : public qv::HelpWindow
{
    Q_OBJECT
public:
    explicit Thilfe(QWidget* parent = nullptr);

    QWidget* pinfo_de = nullptr;
    QLabel* Image2 = nullptr;
    QTabWidget* pc = nullptr;
    QPushButton* btide1 = nullptr;
    QPushButton* btide2 = nullptr;

    void btide1Click() { backClick(); }
    void btide2Click() { nextClick(); }
};

class Thilfe_en : public qv::HelpWindow
{
    Q_OBJECT
public:
    explicit Thilfe_en(QWidget* parent = nullptr);

    QWidget* pinfo_en = nullptr;
    QLabel* Image3 = nullptr;
    QTabWidget* pc = nullptr;
    QPushButton* btien1 = nullptr;
    QPushButton* btien2 = nullptr;

    void btien1Click() { backClick(); }
    void btien2Click() { nextClick(); }
};
