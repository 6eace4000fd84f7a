#include "app/palettecolours.h"
#include "app/panel.h"
#include "app/startup.h"
#include "tests/appfixture.h"
#include "text/shortenpath.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

// Drives the real main window. Every test gets fresh windows with the design font, shown and
// active, so focus and geometry behave as for the user.
class SettingsPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void customItems_data();
    void customItems();
    void customStartNumbersFromOne();
    void placeholderInsertion_data();
    void placeholderInsertion();
    void typedCharacters_data();
    void typedCharacters();
    void typedIntoFocusedCombo_data();
    void typedIntoFocusedCombo();
    void editingKeysInNumstart();
    void panelHeights_data();
    void panelHeights();
    void panelHeightsAfterResize();
    void closedSearchPanelKeepsApplying();
    void settingsRefreshPreview_data();
    void settingsRefreshPreview();
    void optionsRefreshPreview_data();
    void optionsRefreshPreview();
    void invalidExpression_data();
    void invalidExpression();
    void numbersByValue();
    void firstSelectedInListOrder();
    void clearedSelectionKeepsPreview();
    void numberFollowsResort();
    void adapterReadsList_data();
    void adapterReadsList();
    void previewOfRemovedEntry();
    void resizeRefitsCaptions();
    void shortenWithLabelFont_data();
    void shortenWithLabelFont();
    void noClippedCaption_data();
    void noClippedCaption();

private:
    Tprog* prog() const { return m_app->prog(); }
    void show(const QString& language);
    // Adds entries for files of these names in a temporary folder; returns their paths.
    QStringList addFiles(const QStringList& names);
    void setMask(const QString& mask);

    std::unique_ptr<AppFixture> m_app;
    QTemporaryDir m_files;
};

void SettingsPanelTest::initTestCase()
{
    qv::applyDesignFont();
    QVERIFY(m_files.isValid());
}

void SettingsPanelTest::init()
{
    show(QStringLiteral("de"));
}

void SettingsPanelTest::cleanup()
{
    m_app.reset();
}

void SettingsPanelTest::show(const QString& language)
{
    m_app.reset();
    m_app = std::make_unique<AppFixture>(language);
    prog()->show();
    prog()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(prog()));
}

QStringList SettingsPanelTest::addFiles(const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names) {
        const QString path = m_files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
        fileList()->append(qv::fileEntryFor(path, QStringLiteral("0,000 KB"), QString()));
        paths.append(path);
    }
    return paths;
}

void SettingsPanelTest::setMask(const QString& mask)
{
    if (!prog()->act_maske->isChecked())
        prog()->act_maske->click();
    prog()->maske->setEditText(mask);
}

void SettingsPanelTest::customItems_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("mask/de") << "de"
                             << "maske"
                             << "Benutzerdefiniert.." << false;
    QTest::newRow("mask/en") << "en"
                             << "maske"
                             << "Custom.." << false;
    QTest::newRow("mask/de/arrow key") << "de"
                                       << "maske"
                                       << "Benutzerdefiniert.." << true;
    QTest::newRow("numstart/de") << "de"
                                 << "numstart"
                                 << "Benutzer.." << false;
    QTest::newRow("numstart/en") << "en"
                                 << "numstart"
                                 << "Custom.." << false;
    QTest::newRow("numstart/en/arrow key") << "en"
                                           << "numstart"
                                           << "Custom.." << true;
}

void SettingsPanelTest::customItems()
{
    QFETCH(QString, language);
    QFETCH(QString, combo);
    QFETCH(QString, item);
    QFETCH(bool, byKeyboard);
    show(language);
    addFiles({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    prog()->numstart->setEditText(QStringLiteral("5"));
    selectRows({1});
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("b_6.txt"));

    auto* box = ui<QComboBox>(combo);
    const int custom = box->findText(item);
    QCOMPARE(custom, box->count() - 1);
    if (byKeyboard) {
        box->setCurrentIndex(custom - 1);
        box->setFocus();
    } else {
        prog()->Umbenennen->setFocus();
    }
    const QString before = prog()->vor_out->text();
    if (byKeyboard)
        QTest::keyClick(box, Qt::Key_Down);
    else
        box->setCurrentIndex(custom); // what choosing it from the open list does

    QCOMPARE(box->currentText(), QString());
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(box->lineEdit()->hasFocus());
    // The preview still shows what it showed before the item was chosen.
    QCOMPARE(prog()->vor_out->text(), before);
    QCOMPARE(prog()->vor_out->toolTip(), m_files.filePath(before));
}

void SettingsPanelTest::customStartNumbersFromOne()
{
    addFiles({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    selectRows({1});
    prog()->numstart->setCurrentIndex(prog()->numstart->findText(QStringLiteral("Benutzer..")));
    QCOMPARE(prog()->numstart->currentText(), QString());
    prog()->Vorschau();
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("b_2.txt"));
}

void SettingsPanelTest::placeholderInsertion_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength"); // 0: the caret stands at selStart
    // A label's name, or a placeholder chosen from the menu of further ones.
    QTest::addColumn<QString>("constant");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("preview"); // empty: not compared
    const QString day = QDate::currentDate().toString(QStringLiteral("dd"));
    const QString year = QDate::currentDate().toString(QStringLiteral("yyyy"));
    QTest::newRow("caret behind %name%") << "de"
                                         << "%name%" << 6 << 0 << "Label7"
                                         << "%name%%num%" << 11 << "photo1.jpg";
    QTest::newRow("whole text selected") << "de"
                                         << "%name%" << 0 << 6 << "Label7"
                                         << "%num%" << 5 << "1.jpg";
    QTest::newRow("caret at the start") << "de"
                                        << "%name%" << 0 << 0 << "Label12"
                                        << "%0num%%name%" << 6 << "1photo.jpg";
    QTest::newRow("selection in the middle") << "de"
                                             << "a-XX-b" << 2 << 2 << "Label9"
                                             << "a-%abs%-b" << 7 << "a-1-b.jpg";
    QTest::newRow("empty mask") << "de"
                                << "" << 0 << 0 << "Label5"
                                << "%name%" << 6 << "photo.jpg";
    QTest::newRow("day/de") << "de"
                            << "x" << 1 << 0 << "Label17"
                            << "x%t%" << 4 << "x" + day + ".jpg";
    QTest::newRow("day/en") << "en"
                            << "x" << 1 << 0 << "Label17"
                            << "x%d%" << 4 << "x" + day + ".jpg";
    QTest::newRow("year/de") << "de"
                             << "x" << 0 << 0 << "Label19"
                             << "%j%x" << 3 << year + "x.jpg";
    QTest::newRow("year/en") << "en"
                             << "x" << 0 << 0 << "Label19"
                             << "%y%x" << 3 << year + "x.jpg";
    QTest::newRow("more: hour behind the caret")
        << "de"
        << "x" << 1 << 0 << "%h%"
        << "x%h%" << 4 << "x" + QTime::currentTime().toString(QStringLiteral("hh")) + ".jpg";
    QTest::newRow("more: selection replaced") << "en"
                                              << "a-XX-b" << 2 << 2 << "%camera%"
                                              << "a-%camera%-b" << 10 << "";
}

void SettingsPanelTest::placeholderInsertion()
{
    QFETCH(QString, language);
    QFETCH(QString, mask);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, constant);
    QFETCH(QString, result);
    QFETCH(int, caret);
    QFETCH(QString, preview);
    show(language);
    addFiles({QStringLiteral("photo.jpg")});
    setMask(mask);
    selectRows({0});

    QLineEdit* edit = prog()->maske->lineEdit();
    if (selLength > 0)
        edit->setSelection(selStart, selLength);
    else
        edit->setCursorPosition(selStart);
    if (constant.startsWith(u'%')) {
        // Chosen as the user does: the button opens the menu, a click in it chooses.
        QMenu* menu = prog()->Platzhalter->menu();
        QAction* item = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->data().toString() == constant)
                item = a;
        }
        QVERIFY(item);
        QTimer::singleShot(0, menu, [menu, item] {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        });
        QTest::mouseClick(prog()->Platzhalter, Qt::LeftButton);
    } else {
        QTest::mouseClick(ui<QLabel>(constant), Qt::LeftButton);
    }

    QCOMPARE(prog()->maske->currentText(), result);
    QCOMPARE(edit->cursorPosition(), caret);
    QVERIFY(!edit->hasSelectedText());
    if (!preview.isEmpty())
        QCOMPARE(prog()->vor_out->text(), preview);
}

void SettingsPanelTest::typedCharacters_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("regex");
    const auto row = [](const char* name, const char* field, const char* typed, const char* result,
                        bool regex = false) {
        QTest::newRow(name) << field << QString::fromUtf8(typed) << QString::fromUtf8(result)
                            << regex;
    };
    row("mask: question mark", "maske", "a?b", "ab");
    row("mask: slash", "maske", "a/b", "ab");
    row("mask: all nine", "maske", "x\"*/:<>?\\|y", "xy");
    row("mask: placeholders and blanks pass", "maske", "%0num% - (1) [a];b.c",
        "%0num% - (1) [a];b.c");
    row("mask: expressions do not matter", "maske", "x\"*/:<>?\\|y", "xy", true);
    row("search: all nine", "suchenalt", "x\"*/:<>?\\|y", "xy");
    row("replace: all nine", "suchenneu", "x\"*/:<>?\\|y", "xy");
    row("replace: other punctuation passes", "suchenneu", "#+~=&!,'$", "#+~=&!,'$");
    row("numstart: minus", "numstart", "-3", "3");
    row("numstart: letters and blanks", "numstart", "1a 2b+$x0", "120");
    row("numstart: digits", "numstart", "0123456789", "0123456789");
    row("expression search: all but the slash", "suchenalt", "^(a|b)*?[<>:\"]\\d/$",
        "^(a|b)*?[<>:\"]\\d$", true);
    row("expression replacement: groups", "suchenneu", "x\"*/:<>?\\1|$2y", "x\\1$2y", true);
}

void SettingsPanelTest::typedCharacters()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(bool, regex);
    prog()->cb_regex->setChecked(regex);
    QLineEdit* edit = nullptr;
    if (field == QLatin1String("maske") || field == QLatin1String("numstart"))
        edit = ui<QComboBox>(field)->lineEdit();
    else
        edit = ui<QLineEdit>(field);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), result);
    // Pasted text passes the same filter.
    edit->clear();
    QApplication::clipboard()->setText(typed);
    edit->paste();
    QCOMPARE(edit->text(), result);
}

void SettingsPanelTest::typedIntoFocusedCombo_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("mask: question mark and slash") << "maske"
                                                   << "a?b/c"
                                                   << "abc";
    QTest::newRow("mask: all nine") << "maske"
                                    << "x\"*/:<>?\\|y"
                                    << "xy";
    QTest::newRow("numstart: minus and letters") << "numstart"
                                                 << "-3a"
                                                 << "3";
}

// A click into the edit field of a combo box gives the focus to the combo box itself, which
// hands typed keys on to its field: the filters must hold on that way too.
void SettingsPanelTest::typedIntoFocusedCombo()
{
    QFETCH(QString, combo);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    prog()->act_maske->click();
    auto* box = ui<QComboBox>(combo);
    box->setEditText(QString());
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused == box || focused == box->lineEdit());
    QTest::keyClicks(focused, typed);
    QCOMPARE(box->currentText(), result);
}

void SettingsPanelTest::editingKeysInNumstart()
{
    QLineEdit* edit = prog()->numstart->lineEdit();
    edit->setFocus();
    edit->setText(QStringLiteral("123"));
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    QCOMPARE(edit->cursorPosition(), 0);
    // With the text the X11 and Wayland platforms give the Delete key.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
    QCOMPARE(edit->text(), QStringLiteral("2"));
    QTest::keyClick(edit, '7');
    QCOMPARE(edit->text(), QStringLiteral("72"));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(edit, '9');
    QCOMPARE(edit->text(), QStringLiteral("9"));
    // A control character the field does not take; the text stays as it is.
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, '5');
    QCOMPARE(edit->text(), QStringLiteral("95"));
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Tab, QStringLiteral("\t"), Qt::NoModifier);
    QVERIFY(!edit->hasFocus());
    QVERIFY(!Tprog::numstartKeyPress(QChar(27)));
    QVERIFY(!Tprog::numstartKeyPress(QChar(1)));
    QVERIFY(Tprog::numstartKeyPress(QChar(8)));
    QVERIFY(Tprog::maskeKeyPress(QChar(1)));
}

void SettingsPanelTest::panelHeights_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("maskOpen");
    QTest::addColumn<bool>("searchOpen");
    QTest::newRow("both closed") << QStringList{} << 100 << false << false;
    QTest::newRow("mask open") << QStringList{"act_maske"} << 213 << true << false;
    QTest::newRow("search open") << QStringList{"act_suchenersetzen"} << 206 << false << true;
    QTest::newRow("mask, then search")
        << QStringList{"act_maske", "act_suchenersetzen"} << 206 << false << true;
    QTest::newRow("search, then mask")
        << QStringList{"act_suchenersetzen", "act_maske"} << 213 << true << false;
    QTest::newRow("mask on and off")
        << QStringList{"act_maske", "act_maske"} << 100 << false << false;
    QTest::newRow("mask on, search on and off")
        << QStringList{"act_maske", "act_suchenersetzen", "act_suchenersetzen"} << 100 << false
        << false;
}

void SettingsPanelTest::panelHeights()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, height);
    QFETCH(bool, maskOpen);
    QFETCH(bool, searchOpen);
    for (const QString& box : clicks)
        ui<QCheckBox>(box)->click();

    QCOMPARE(prog()->pa2->isVisible(), maskOpen);
    QCOMPARE(prog()->pa1->isVisible(), searchOpen);
    QCOMPARE(prog()->Panel1->height(), height);
    QCOMPARE(prog()->Panel1->geometry().bottom() + 1 + 5, prog()->Panel3->y());
    QCOMPARE(prog()->Panel6->y() + prog()->Panel6->height(), prog()->Panel1->y() - 5);
    QCOMPARE(prog()->act_suchenersetzen->y(), maskOpen ? 188 : 75);
    QCOMPARE(prog()->pa1->y(), maskOpen ? 208 : 95);
    // The list keeps its distance to the bottom of its panel.
    QCOMPARE(prog()->qulist->geometry().bottom(), prog()->Panel6->height() - 31);
}

void SettingsPanelTest::panelHeightsAfterResize()
{
    const QSize design = prog()->size();
    prog()->resize(design + QSize(120, 150));
    prog()->act_maske->click();
    QCOMPARE(prog()->Panel1->height(), 213);
    QCOMPARE(prog()->Panel1->geometry().bottom() + 1 + 5, prog()->Panel3->y());
    QCOMPARE(prog()->Panel3->geometry().bottom(), prog()->client()->height() - 33);
    QCOMPARE(prog()->Panel6->height(), prog()->Panel1->y() - 8);
    QCOMPARE(prog()->Panel1->width(), 608 + 120);

    prog()->resize(design);
    QCOMPARE(prog()->Panel1->height(), 213);
    QCOMPARE(prog()->Panel1->y(), 535 - 213 - 5);
    QCOMPARE(prog()->Panel6->height(), 535 - 213 - 5 - 8);
    prog()->act_maske->click();
    QCOMPARE(prog()->Panel6->height(), 535 - 100 - 5 - 8);
    QCOMPARE(prog()->qulist->geometry().bottom(), prog()->Panel6->height() - 31);
}

void SettingsPanelTest::closedSearchPanelKeepsApplying()
{
    addFiles({QStringLiteral("holiday.jpg")});
    selectRows({0});
    prog()->act_suchenersetzen->click();
    QVERIFY(prog()->pa1->isVisible());
    QTest::keyClicks(prog()->suchenalt, QStringLiteral("day"));
    QTest::keyClicks(prog()->suchenneu, QStringLiteral("night"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("holinight.jpg"));

    prog()->act_maske->click();
    QVERIFY(prog()->pa2->isVisible());
    QVERIFY(!prog()->pa1->isVisible());
    QVERIFY(prog()->act_suchenersetzen->isChecked());
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("holinight.jpg"));
    prog()->maske->setEditText(QStringLiteral("%name%-day"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("holinight-night.jpg"));
}

void SettingsPanelTest::settingsRefreshPreview_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("searchOld");
    QTest::addColumn<QString>("searchNew");
    QTest::addColumn<QString>("preview");
    QTest::newRow("mask typed") << "maske"
                                << ""
                                << ""
                                << "a_1_x.jpg";
    QTest::newRow("start typed") << "numstart"
                                 << ""
                                 << ""
                                 << "a_2.jpg";
    QTest::newRow("search typed") << "suchenalt"
                                  << ""
                                  << "Z"
                                  << "aZ1.jpg";
    QTest::newRow("replacement typed") << "suchenneu"
                                       << "a"
                                       << ""
                                       << "Q_1.jpg";
    QTest::newRow("extension box") << "cb_suchendung"
                                   << "jpg"
                                   << "png"
                                   << "a_1.png";
    QTest::newRow("name box") << "cb_suchname"
                              << "a"
                              << "Q"
                              << "a_1.jpg";
    QTest::newRow("mask box") << "act_maske"
                              << ""
                              << ""
                              << "a.jpg";
}

void SettingsPanelTest::settingsRefreshPreview()
{
    QFETCH(QString, control);
    QFETCH(QString, searchOld);
    QFETCH(QString, searchNew);
    QFETCH(QString, preview);
    addFiles({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    setMask(QStringLiteral("%name%_%num%"));
    prog()->act_suchenersetzen->setChecked(true);
    prog()->suchenalt->setText(searchOld);
    prog()->suchenneu->setText(searchNew);
    selectRows({0});
    const QString before = prog()->vor_out->text();

    if (control == QLatin1String("maske")) {
        prog()->maske->lineEdit()->end(false);
        QTest::keyClicks(prog()->maske->lineEdit(), QStringLiteral("_x"));
    } else if (control == QLatin1String("numstart")) {
        prog()->numstart->lineEdit()->selectAll();
        QTest::keyClick(prog()->numstart->lineEdit(), '2');
    } else if (control == QLatin1String("suchenalt")) {
        QTest::keyClick(prog()->suchenalt, '_');
    } else if (control == QLatin1String("suchenneu")) {
        QTest::keyClick(prog()->suchenneu, 'Q');
    } else {
        ui<QCheckBox>(control)->click();
    }
    QVERIFY(before != preview);
    QCOMPARE(prog()->vor_out->text(), preview);
}

void SettingsPanelTest::optionsRefreshPreview_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("choice"); // item, or whether the box ends checked
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("mask");      // empty: no mask
    QTest::addColumn<QString>("searchOld"); // empty: no search
    QTest::addColumn<QString>("searchNew");
    QTest::addColumn<QString>("preview");
    QTest::newRow("expression") << "cb_regex" << 1 << "ab12.jpg"
                                << ""
                                << "\\d+"
                                << "#"
                                << "ab#.jpg";
    QTest::newRow("case ignored") << "cb_gross" << 0 << "Abc.jpg"
                                  << ""
                                  << "a"
                                  << "x"
                                  << "xbc.jpg";
    QTest::newRow("upper case") << "schreibung" << 2 << "abc.jpg"
                                << ""
                                << ""
                                << ""
                                << "ABC.jpg";
    QTest::newRow("each word capital") << "schreibung" << 4 << "my holiday.jpg"
                                       << "%name%"
                                       << ""
                                       << ""
                                       << "My Holiday.jpg";
    QTest::newRow("extension lower") << "cb_endungklein" << 1 << "abc.JPG"
                                     << ""
                                     << ""
                                     << ""
                                     << "abc.jpg";
    QTest::newRow("digits") << "stellen" << 3 << "abc.jpg"
                            << "%0num%"
                            << ""
                            << ""
                            << "001.jpg";
    // Every file of the rows was last changed on 6 May 2001; none has a date taken.
    QTest::newRow("date modified") << "datumsquelle" << 3 << "abc.jpg"
                                   << "%j%-%m%"
                                   << ""
                                   << ""
                                   << "2001-05.jpg";
    QTest::newRow("date taken, else modified") << "datumsquelle" << 2 << "abc.jpg"
                                               << "%j%"
                                               << ""
                                               << ""
                                               << "2001.jpg";
    QTest::newRow("no date taken") << "datumsquelle" << 1 << "abc.jpg"
                                   << "%j%"
                                   << ""
                                   << ""
                                   << "Aufnahmedatum fehlt";
}

// Each option changes the preview at once, by the core's rules.
void SettingsPanelTest::optionsRefreshPreview()
{
    QFETCH(QString, control);
    QFETCH(int, choice);
    QFETCH(QString, file);
    QFETCH(QString, mask);
    QFETCH(QString, searchOld);
    QFETCH(QString, searchNew);
    QFETCH(QString, preview);
    QFile changed(addFiles({file}).first());
    QVERIFY(changed.open(QIODevice::ReadWrite));
    QVERIFY(changed.setFileTime(QDateTime(QDate(2001, 5, 6), QTime(12, 0)),
                                QFileDevice::FileModificationTime));
    changed.close();
    if (!mask.isEmpty())
        setMask(mask);
    if (!searchOld.isEmpty()) {
        prog()->act_suchenersetzen->click();
        prog()->suchenalt->setText(searchOld);
        prog()->suchenneu->setText(searchNew);
    }
    selectRows({0});
    QVERIFY(prog()->vor_out->text() != preview);

    if (auto* box = mainWindow()->findChild<QCheckBox*>(control)) {
        QVERIFY(box->isChecked() != bool(choice));
        box->click();
    } else {
        ui<QComboBox>(control)->setCurrentIndex(choice);
    }
    QCOMPARE(prog()->vor_out->text(), preview);
}

void SettingsPanelTest::invalidExpression_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("said");
    QTest::newRow("de/light") << "de" << false << "Ungültiger Ausdruck";
    QTest::newRow("en/light") << "en" << false << "Invalid expression";
    QTest::newRow("de/dark") << "de" << true << "Ungültiger Ausdruck";
}

// The field says what is wrong, in a colour that reads in the palette of the moment, until the
// expression is one again; the preview says why it has no name.
void SettingsPanelTest::invalidExpression()
{
    QFETCH(QString, language);
    QFETCH(bool, dark);
    QFETCH(QString, said);
    const auto restore =
        qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
    show(language);
    addFiles({QStringLiteral("photo1.jpg")});
    selectRows({0});
    prog()->act_suchenersetzen->click();
    prog()->cb_regex->click();
    QLineEdit* field = prog()->suchenalt;
    QTest::keyClicks(field, QStringLiteral("(\\d"));
    if (dark) {
        // Switched while the field is marked, as a desktop's dark scheme does.
        QPalette p(QColor(50, 50, 50), QColor(40, 40, 40));
        p.setColor(QPalette::Base, QColor(30, 30, 30));
        p.setColor(QPalette::Text, QColor(235, 235, 235));
        QApplication::setPalette(p);
        QTRY_COMPARE(prog()->pa1->palette().color(QPalette::Base), p.color(QPalette::Base));
    }

    const QColor normal = QApplication::palette().color(QPalette::Base);
    const QColor tinted = field->palette().color(QPalette::Base);
    QVERIFY(tinted != normal);
    QVERIFY(tinted.red() > tinted.green());
    QVERIFY(qv::contrastRatio(tinted, field->palette().color(QPalette::Text)) >= 4.5);
    QCOMPARE(field->toolTip(), QRegularExpression(QStringLiteral("(\\d")).errorString());
    QCOMPARE(prog()->vor_out->text(), said);
    // Refitting the captions, as a resize does, keeps what the preview says.
    prog()->resize(prog()->size() + QSize(10, 0));
    QCOMPARE(prog()->vor_out->text(), said);

    QTest::keyClicks(field, QStringLiteral(")"));
    QCOMPARE(field->palette().color(QPalette::Base), normal);
    QCOMPARE(field->toolTip(), QString());
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("photo.jpg"));
    // Without the expression search the same text is a text like any other.
    QTest::keyClick(field, Qt::Key_Backspace);
    prog()->cb_regex->click();
    QCOMPARE(field->toolTip(), QString());
}

void SettingsPanelTest::numbersByValue()
{
    addFiles({QStringLiteral("Bild 10.jpg"), QStringLiteral("Bild 2.jpg")});
    setMask(QStringLiteral("%num%"));
    selectRows({0});
    QCOMPARE(column(qv::ColName), (QStringList{"Bild 10", "Bild 2"}));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("1.jpg"));
    ui<QAction>(QStringLiteral("m_natuerlich"))->trigger();
    QCOMPARE(column(qv::ColName), (QStringList{"Bild 2", "Bild 10"}));
    // The previewed entry keeps its selection and is numbered where it stands now.
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("Bild 10.jpg"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("2.jpg"));
    ui<QAction>(QStringLiteral("m_natuerlich"))->trigger();
    QCOMPARE(column(qv::ColName), (QStringList{"Bild 10", "Bild 2"}));
}

void SettingsPanelTest::firstSelectedInListOrder()
{
    const QStringList paths = addFiles({QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                        QStringLiteral("c.txt"), QStringLiteral("d.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    // Selected bottom first: list order, not selection order, decides.
    selectRows({3, 1, 2});
    QCOMPARE(prog()->vor_orig->toolTip(), paths[1]);
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("b.txt"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("b_2.txt"));
    QCOMPARE(prog()->vor_out->toolTip(), m_files.filePath(QStringLiteral("b_2.txt")));
}

void SettingsPanelTest::clearedSelectionKeepsPreview()
{
    const QStringList paths = addFiles({QStringLiteral("a.txt"), QStringLiteral("b.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    selectRows({1});
    selectRows({});
    QCOMPARE(prog()->vor_orig->toolTip(), paths[1]);
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("b.txt"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("b_2.txt"));
}

void SettingsPanelTest::numberFollowsResort()
{
    addFiles({QStringLiteral("c.png"), QStringLiteral("a.png"), QStringLiteral("d.png"),
              QStringLiteral("b.png")});
    setMask(QStringLiteral("%name%_%num%"));
    prog()->numstart->setEditText(QStringLiteral("1"));
    selectRows({3});
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("d.png"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("d_4.png"));

    fileList()->setSortOrder(qv::ColName, true);
    fileList()->sort();
    QCOMPARE(cell(0, qv::ColName), QStringLiteral("d"));
    prog()->Vorschau();
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("d_1.png"));
}

void SettingsPanelTest::adapterReadsList_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("previewRow");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("atPosition");
    QTest::newRow("0num/9 entries") << 9 << "1"
                                    << "%0num%-%abs%" << 2 << "3-9.txt" << 8 << "9-9.txt";
    QTest::newRow("0num/10 entries") << 10 << "1"
                                     << "%0num%-%abs%" << 2 << "03-10.txt" << 9 << "10-10.txt";
    QTest::newRow("0num/10 entries/start 0") << 10 << "0"
                                             << "%0num%" << 0 << "00.txt" << 9 << "09.txt";
    QTest::newRow("start 007") << 3 << "007"
                               << "%num%" << 1 << "8.txt" << 2 << "9.txt";
    QTest::newRow("start abc") << 3 << "abc"
                               << "%num%" << 2 << "3.txt" << 0 << "1.txt";
    QTest::newRow("start -3") << 3 << "-3"
                              << "%num%" << 0 << "-3.txt" << 1 << "-2.txt";
    QTest::newRow("no number: only the count")
        << 12 << "1"
        << "%abs%_%name%" << 5 << "12_f05.txt" << 0 << "12_f00.txt";
}

void SettingsPanelTest::adapterReadsList()
{
    QFETCH(int, entries);
    QFETCH(QString, start);
    QFETCH(QString, mask);
    QFETCH(int, previewRow);
    QFETCH(QString, preview);
    QFETCH(int, position);
    QFETCH(QString, atPosition);
    QStringList names;
    for (int i = 0; i < entries; ++i)
        names.append(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')));
    addFiles(names);
    setMask(mask);
    prog()->numstart->setEditText(start);
    selectRows({previewRow});
    QCOMPARE(prog()->vor_out->text(), preview);
    QCOMPARE(prog()->RenameName(names[position], position), atPosition);
}

void SettingsPanelTest::previewOfRemovedEntry()
{
    addFiles({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    prog()->numstart->setEditText(QStringLiteral("5"));
    selectRows({2});
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("c_7.txt"));
    fileList()->removeRowsAt({2});
    prog()->Vorschau();
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("c.txt"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("c_5.txt"));
    fileList()->clear();
    prog()->Vorschau();
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("c_5.txt"));
}

void SettingsPanelTest::resizeRefitsCaptions()
{
    // Nothing previewed yet: both labels stay empty.
    prog()->act_maske->click();
    QCOMPARE(prog()->vor_orig->text(), QString());
    QCOMPARE(prog()->vor_out->text(), QString());

    const int width = prog()->vor_orig->width();
    prog()->vor_orig->setToolTip(QStringLiteral("/x/y/first.txt"));
    prog()->vor_out->setToolTip(QStringLiteral("/x/y/second.txt"));
    prog()->resize(prog()->size() + QSize(80, 0));
    QCOMPARE(prog()->vor_orig->width(), width + 80);
    QCOMPARE(prog()->vor_orig->text(), QStringLiteral("first.txt"));
    QCOMPARE(prog()->vor_out->text(), QStringLiteral("second.txt"));
}

void SettingsPanelTest::shortenWithLabelFont_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fitting"); // the step whose own width is the limit
    QTest::addColumn<int>("slack");
    QTest::addColumn<QString>("result");
    const QString path = QStringLiteral("/alpha-beta-gamma/b/c.txt");
    QTest::newRow("whole path fits") << path << path << 0 << path;
    QTest::newRow("one pixel short") << path << path << -1 << "/.../b/c.txt";
    QTest::newRow("first folder marked") << path << "/.../b/c.txt" << 0 << "/.../b/c.txt";
    QTest::newRow("both folders marked") << path << "/.../c.txt" << 0 << "/.../c.txt";
    QTest::newRow("root dropped") << path << ".../c.txt" << 0 << ".../c.txt";
    QTest::newRow("name alone") << path << "c.txt" << 0 << "c.txt";
    QTest::newRow("narrower than the name") << path << "c.txt" << -3 << "c.txt";
    QTest::newRow("short path, room for the mark only") << "/a/b/c.txt"
                                                        << "/.../c.txt" << 0 << "/.../c.txt";
    QTest::newRow("short path, without root") << "/a/b/c.txt"
                                              << ".../c.txt" << 0 << ".../c.txt";
    QTest::newRow("short path, every step") << "/a/b/c.txt"
                                            << "c.txt" << -1 << "c.txt";
}

void SettingsPanelTest::shortenWithLabelFont()
{
    QFETCH(QString, path);
    QFETCH(QString, fitting);
    QFETCH(int, slack);
    QFETCH(QString, result);
    const QFontMetrics metrics = prog()->vor_orig->fontMetrics();
    QStringList measured;
    const auto width = [&](const QString& text) {
        measured.append(text);
        return metrics.horizontalAdvance(text);
    };
    const int limit = metrics.horizontalAdvance(fitting) + slack;
    QCOMPARE(qv::ShortenPath(path, width, limit), result);

    // Every text tried is one of the steps, in order, and only the last one fits.
    const QStringList steps{path, "/.../b/c.txt", "/.../c.txt", ".../c.txt"};
    QCOMPARE(measured, steps.mid(0, measured.size()));
    for (int i = 0; i + 1 < measured.size(); ++i)
        QVERIFY(metrics.horizontalAdvance(measured[i]) > limit);
}

void SettingsPanelTest::noClippedCaption_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("panel");
    for (const char* language : {"de", "en"}) {
        for (const char* box : {"act_maske", "act_suchenersetzen"})
            QTest::addRow("%s/%s", language, box) << language << box;
    }
}

void SettingsPanelTest::noClippedCaption()
{
    QFETCH(QString, language);
    QFETCH(QString, panel);
    // Switched at run time, as a user would, to catch captions sized for the other language.
    if (language == QLatin1String("en"))
        prog()->Englisch1Click();
    addFiles({QStringLiteral("Urlaubsbild vom Strand.jpg")});
    selectRows({0});
    ui<QCheckBox>(panel)->click();
    QCoreApplication::processEvents();

    QWidget* open =
        panel == QLatin1String("act_maske") ? static_cast<QWidget*>(prog()->pa2) : prog()->pa1;
    QList<QWidget*> shown;
    for (QWidget* parent :
         {open, static_cast<QWidget*>(prog()->Panel1), static_cast<QWidget*>(prog()->Panel3)}) {
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisible() && child != prog()->pa1 && child != prog()->pa2)
                shown.append(child);
        }
    }
    // Every caption of the window has the room it asks for; the preview labels cut long names
    // on purpose.
    for (QWidget* w : prog()->client()->findChildren<QWidget*>()) {
        if (!w->isVisible() || w == prog()->vor_orig || w == prog()->vor_out ||
            qobject_cast<qv::Panel*>(w))
            continue;
        int needed = 0;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w))
            needed = w->sizeHint().width();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            // A push button's size hint has a minimum width of its own; the caption needs less.
            needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        QVERIFY2(
            w->width() >= needed,
            qPrintable(w->objectName() +
                       QStringLiteral(" needs %1 pixels, has %2").arg(needed).arg(w->width())));
    }
    for (QWidget* w : shown) {
        const QRect inParent(QPoint(0, 0), w->parentWidget()->size());
        QVERIFY2(inParent.contains(w->geometry()), qPrintable(w->objectName()));
        // Nothing overlaps a sibling.
        for (QWidget* other : shown) {
            if (other != w && other->parentWidget() == w->parentWidget() &&
                !qobject_cast<qv::Panel*>(other) && !qobject_cast<qv::Panel*>(w))
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(w->objectName() + QLatin1Char('/') + other->objectName()));
        }
    }
    const QString pictures = qEnvironmentVariable("QUORVEL_SCREENSHOT_DIR");
    if (!pictures.isEmpty())
        prog()->grab().save(QStringLiteral("%1/panel-%2-%3.png").arg(pictures, language, panel));
}

QTEST_MAIN(SettingsPanelTest)
#include "tst_settingspanel.moc"
