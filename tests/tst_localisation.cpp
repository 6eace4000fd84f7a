#include "app/filter/tquorvel_filter.h"
#include "filelist/filelistmodel.h"
#include "info/weblinks.h"
#include "tests/appfixture.h"
#include "tests/designnames.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class LocalisationTest : public QObject
{
    Q_OBJECT
private slots:
    void captions_data();
    void captions();
    void columnTitlesAndMessages();
    void comboItemsSwapOneWord();
    void optionListsFollowTheLanguage();
    void menusAndMarksFollowTheLanguage();
    void textsNoRunTouches();
    void filterDialogFollows();
    void datePlaceholdersInsertWhatTheyShow();
    void qtButtonsSpeakTheLanguage();
};

namespace {

QString captionOf(QObject* o)
{
    if (auto* m = qobject_cast<QMenu*>(o))
        return m->title();
    return o->property("text").toString();
}

} // namespace

void LocalisationTest::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
    for (const design::CaptionRow& r : design::captions)
        QTest::newRow(r.name) << QString::fromUtf8(r.name) << QString::fromUtf8(r.german)
                              << QString::fromUtf8(r.english);
}

void LocalisationTest::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, german);
    QFETCH(QString, english);
    AppFixture app;
    QObject* o = app.prog()->findChild<QObject*>(name);
    QVERIFY(o);
    QCOMPARE(captionOf(o), german);
    app.prog()->Englisch1Click();
    QCOMPARE(captionOf(o), english);
    app.prog()->Deutsch1Click();
    QCOMPARE(captionOf(o), german);
}

// The language switches all message texts at once: one of them shown proves the rest, whose
// words are the core's.
void LocalisationTest::columnTitlesAndMessages()
{
    AppFixture app;
    Tprog* p = app.prog();
    auto titles = [] {
        QStringList t;
        for (int c = 0; c < 5; ++c)
            t << listModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return t;
    };
    const QString missing = QDir::current().filePath(QStringLiteral("missing"));
    QCOMPARE(titles(), (QStringList{"Name", "Typ", "Größe", "Status", "Dateipfad"}));
    p->quordner->setText(missing);
    p->quordnerKeyPress(QChar(13));
    QCOMPARE(app.platform.warnings,
             QStringList{"Sie haben einen nicht existierenden Ordner angegeben.\r\n\r\n"
                         "Bitte wählen Sie einen anderen Ordner aus."});
    p->Englisch1Click();
    QCOMPARE(titles(), (QStringList{"Name", "Type", "Size", "Status", "Path"}));
    p->addfolderaselement2list(missing);
    p->addfolderaselement2list(missing);
    QVERIFY(app.platform.warnings.last().endsWith(
        QStringLiteral("Directory can not be added more than one time to the List.")));
    p->BitBtn2Click();
    QCOMPARE(p->la_anzahl->text(), QStringLiteral("0 Files/Folders loaded"));
    QCOMPARE(qv::MessageTexts::english().txt_st_existiert, QStringLiteral("File already exists"));
    QCOMPARE(p->windowTitle(), QStringLiteral("Quorvel - Velmora"));
    p->Deutsch1Click();
    p->add2list(missing);
    QCOMPARE(cell(0, qv::ColStatus), QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(qv::MessageTexts::german().txt_nicht_umbenannt,
             QStringLiteral(" Dateien konnten nicht umbenannt werden"));
}

void LocalisationTest::comboItemsSwapOneWord()
{
    AppFixture app;
    Tprog* p = app.prog();
    auto items = [](QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    };
    p->maske->setEditText(QStringLiteral("%0num%_x"));
    p->numstart->setEditText(QStringLiteral("7"));
    QCOMPARE(items(p->maske).last(), QStringLiteral("Benutzerdefiniert.."));
    QCOMPARE(items(p->numstart).last(), QStringLiteral("Benutzer.."));
    const QStringList maskItems = items(p->maske);
    p->Englisch1Click();
    QCOMPARE(items(p->maske).last(), QStringLiteral("Custom.."));
    QCOMPARE(items(p->numstart).last(), QStringLiteral("Custom.."));
    QCOMPARE(items(p->maske).mid(0, 8), maskItems.mid(0, 8));
    QCOMPARE(p->maske->currentText(), QStringLiteral("%0num%_x"));
    QCOMPARE(p->numstart->currentText(), QStringLiteral("7"));
    p->Deutsch1Click();
    QCOMPARE(items(p->maske), maskItems);
    QCOMPARE(items(p->numstart).last(), QStringLiteral("Benutzer.."));
    QCOMPARE(p->maske->currentText(), QStringLiteral("%0num%_x"));
}

// The lists whose items stand for values are re-captioned; the choice stays.
void LocalisationTest::optionListsFollowTheLanguage()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->datumsquelle->setCurrentIndex(2);
    p->schreibung->setCurrentIndex(4);
    const auto texts = [](auto* owner) {
        QStringList list;
        if constexpr (std::is_same_v<decltype(owner), QMenu*>) {
            for (const QAction* item : owner->actions())
                list << item->text();
        } else {
            for (int i = 0; i < owner->count(); ++i)
                list << owner->itemText(i);
        }
        return list;
    };
    const QStringList sourcesDe{"Heute", "Aufnahmedatum", "Aufnahme- sonst Änderungsdatum",
                                "Änderungsdatum"};
    const QStringList sourcesEn{"Today", "Date taken", "Date taken, else modified",
                                "Date modified"};
    const QStringList casesDe{"Schreibung unverändert", "kleinbuchstaben", "GROSSBUCHSTABEN",
                              "Erster buchstabe groß", "Jeder Anfang Groß"};
    const QStringList casesEn{"Keep case", "lower case", "UPPER CASE", "First letter capital",
                              "Each Word Capital"};
    const QStringList moreDe{"%h% – Stunde",           "%min% – Minute",
                             "%s% – Sekunde",          "%artist% – Interpret",
                             "%album% – Album",        "%title% – Titel",
                             "%track% – Titelnummer",  "%year% – Erscheinungsjahr",
                             "%camera% – Kameramodell"};
    const QStringList moreEn{"%h% – Hour",
                             "%min% – Minute",
                             "%s% – Second",
                             "%artist% – Artist",
                             "%album% – Album",
                             "%title% – Title",
                             "%track% – Track number",
                             "%year% – Year of release",
                             "%camera% – Camera model"};
    for (const bool german : {false, true}) {
        if (german)
            p->Deutsch1Click();
        else
            p->Englisch1Click();
        QCOMPARE(texts(p->datumsquelle), german ? sourcesDe : sourcesEn);
        QCOMPARE(texts(p->schreibung), german ? casesDe : casesEn);
        QCOMPARE(texts(p->Platzhalter->menu()), german ? moreDe : moreEn);
        QCOMPARE(p->stellen->itemText(0), QStringLiteral("Auto"));
        QCOMPARE(p->datumsquelle->currentIndex(), 2);
        QCOMPARE(p->schreibung->currentIndex(), 4);
    }
}

void LocalisationTest::menusAndMarksFollowTheLanguage()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->Englisch1Click();
    QCOMPARE(qv::languageCode(), QStringLiteral("en"));
    QVERIFY(p->Information1->menuAction()->isVisible());
    QVERIFY(p->m_soft_en->menuAction()->isVisible());
    QVERIFY(!p->Hilfe1->menuAction()->isVisible());
    QVERIFY(!p->m_soft_de->menuAction()->isVisible());
    QVERIFY(p->Englisch1->isChecked());
    QVERIFY(!p->Deutsch1->isChecked());
    QCOMPARE(p->cb_dir->x(), 160);
    QCOMPARE(p->sd_konfig->nameFilters(), QStringList{"Quorvel Configuration (*.qvc)"});
    QCOMPARE(p->od_konfig->nameFilters(), QStringList{"Quorvel Configuration (*.qvc)"});
    // The language-bound menus keep their own captions.
    QCOMPARE(p->Information1->title(), QStringLiteral("Help and Information"));
    QCOMPARE(p->Hilfe1->title(), QStringLiteral("Hilfe und Info"));
    p->Deutsch1Click();
    QVERIFY(p->Hilfe1->menuAction()->isVisible());
    QVERIFY(!p->Information1->menuAction()->isVisible());
    QVERIFY(p->Deutsch1->isChecked());
    QVERIFY(!p->Englisch1->isChecked());
    QCOMPARE(p->cb_dir->x(), 250);
    QCOMPARE(p->sd_konfig->nameFilters(), QStringList{"Quorvel Konfiguration (*.qvc)"});
}

void LocalisationTest::textsNoRunTouches()
{
    AppFixture app;
    Tprog* p = app.prog();
    const qv::MessageTexts german = qv::MessageTexts::german();
    fileList()->append(qv::fileEntryFor(QStringLiteral("/tmp/a.txt"), QStringLiteral("0.000 KB"),
                                        german.txt_st_neu));
    p->la_anzahl->setText(qv::countText(1, german));
    p->maske->setEditText(QStringLiteral("%name%_%num%"));
    p->suchenalt->setText(QStringLiteral("alt"));
    p->suchenneu->setText(QStringLiteral("neu"));
    p->vor_orig->setText(QStringLiteral("a.txt"));
    p->Englisch1Click();
    QCOMPARE(cell(0, qv::ColStatus), QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(p->la_anzahl->text(), QStringLiteral("1 Dateien/Ordner geladen"));
    QCOMPARE(p->maske->currentText(), QStringLiteral("%name%_%num%"));
    QCOMPARE(p->numstart->currentText(), QStringLiteral("1"));
    QCOMPARE(p->suchenalt->text(), QStringLiteral("alt"));
    QCOMPARE(p->suchenneu->text(), QStringLiteral("neu"));
    QCOMPARE(p->vor_orig->text(), QStringLiteral("a.txt"));
    QCOMPARE(rowCount(), 1);
    for (QLabel* constant : {p->Label5, p->Label7, p->Label12, p->Label9, p->Label21})
        QVERIFY(constant->text().startsWith(QLatin1Char('%')));
    QCOMPARE(p->Label5->text(), QStringLiteral("%name%"));
    QCOMPARE(p->Label21->text(), QStringLiteral("%m%"));
    QCOMPARE(p->m_soft_de->actions().first()->text(), qv::products().first().captionDe);
}

void LocalisationTest::filterDialogFollows()
{
    AppFixture app;
    Tquorvel_filter* f = qv::quorvel_filter;
    QCOMPARE(f->Label1->text(), QStringLiteral("Nach welchen Dateien soll gesucht werden?"));
    app.prog()->Englisch1Click();
    QCOMPARE(f->Label1->text(), QStringLiteral("Which files shall be looked for?"));
    QCOMPARE(f->alle->text(), QStringLiteral("Search for all files (Use no filter)"));
    QCOMPARE(f->auswahl->text(), QStringLiteral("Only search for following files:"));
    QCOMPARE(f->uv->text(), QStringLiteral("Search all Subfolders"));
    QCOMPARE(f->windowTitle(), QStringLiteral("Filter"));
    QVERIFY(app.start()->en1->isVisibleTo(app.start()));
    app.prog()->Deutsch1Click();
    QCOMPARE(f->uv->text(), QStringLiteral("Auch Unterverzeichnisse durchsuchen"));
}

void LocalisationTest::datePlaceholdersInsertWhatTheyShow()
{
    AppFixture app;
    Tprog* p = app.prog();
    p->maske->setEditText(QString());
    p->Label5Click(p->Label17);
    p->Label5Click(p->Label19);
    QCOMPARE(p->maske->currentText(), QStringLiteral("%t%%j%"));
    p->Englisch1Click();
    p->maske->setEditText(QString());
    p->Label5Click(p->Label17);
    p->Label5Click(p->Label19);
    QCOMPARE(p->maske->currentText(), QStringLiteral("%d%%y%"));
}

// Qt's own standard buttons and dialogs follow the program's language, also when it switches.
void LocalisationTest::qtButtonsSpeakTheLanguage()
{
    AppFixture app;
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    const auto cancel = [&box] {
        return box.button(QDialogButtonBox::Cancel)->text().remove(u'&');
    };
    QCOMPARE(cancel(), QStringLiteral("Abbrechen"));
    app.prog()->Englisch1Click();
    QTRY_COMPARE(cancel(), QStringLiteral("Cancel"));
    app.prog()->Deutsch1Click();
    QTRY_COMPARE(cancel(), QStringLiteral("Abbrechen"));
}

QTEST_MAIN(LocalisationTest)

#include "tst_localisation.moc"
