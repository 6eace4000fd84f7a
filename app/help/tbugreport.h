#pragma once

#include "app/help/infowidgets.h"

#include <QWidget>

class QPushButton;

namespace qv {

// Points the user to the support page to report a fault or wish for an improvement. Always on
// top, not modal; "OK" and the close button only hide it.
class BugReportWindow : public QWidget
{
    Q_OBJECT
public:
    void Button1Click();
    void BrowseToCaption();

    QLabel* Label16 = nullptr;
    LinkLabel* Label70 = nullptr;
    LinkLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    BugReportWindow(Language language, QSize client, QWidget* parent);
};

} // namespace qv

class Tbugreport_de : public qv::BugReportWindow
{
    Q_OBJECT
public:
    static constexpr QSize clientSize{330, 368};
    explicit Tbugreport_de(QWidget* parent = nullptr);
};

class Tbugreport_en : public qv::BugReportWindow
{
    Q_OBJECT
public:
    static constexpr QSize clientSize{312, 346};
    explicit Tbugreport_en(QWidget* parent = nullptr);
};
