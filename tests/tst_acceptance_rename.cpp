// Scenarios of adding entries, the settings panel with its preview and the batch rename, driven
// from outside: windows and controls are found by their object names only, input arrives as
// clicks, keys and drops, and results are read from widget texts, the list's model and the disk.

#include "tests/appfixture.h"
#include "text/pathbytes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

int rowOfPath(const QString& path)
{
    return int(column(4).indexOf(path));
}

QString laspenden()
{
    return ui<QLabel>("laspenden")->text();
}

QString laAnzahl()
{
    return ui<QLabel>("la_anzahl")->text();
}

QString previewOld()
{
    return ui<QLabel>("vor_orig")->text();
}

QString previewNew()
{
    return ui<QLabel>("vor_out")->text();
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Every file and folder below root, relative, folders with a trailing "/".
QStringList diskTree(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        QString rel = QDir(root).relativeFilePath(it.filePath());
        if (it.fileInfo().isDir())
            rel += u'/';
        found.append(rel);
    }
    found.sort();
    return found;
}

void pressEnterIn(QLineEdit* edit)
{
    QTest::keyClick(edit, Qt::Key_Return);
}

void loadWithEnter(const QString& folder)
{
    auto* edit = ui<QLineEdit>("quordner");
    edit->setText(folder);
    pressEnterIn(edit);
}

void setMask(const QString& mask)
{
    auto* active = ui<QCheckBox>("act_maske");
    if (!active->isChecked())
        active->click();
    ui<QComboBox>("maske")->setEditText(mask);
}

void setSearch(const QString& from, const QString& to, bool inName = true, bool inExt = false)
{
    auto* active = ui<QCheckBox>("act_suchenersetzen");
    if (!active->isChecked())
        active->click();
    ui<QLineEdit>("suchenalt")->setText(from);
    ui<QLineEdit>("suchenneu")->setText(to);
    auto* name = ui<QCheckBox>("cb_suchname");
    auto* ext = ui<QCheckBox>("cb_suchendung");
    if (name->isChecked() != inName)
        name->click();
    if (ext->isChecked() != inExt)
        ext->click();
}

void rename()
{
    ui<QPushButton>("Umbenennen")->click();
}

QString statusOf(const QString& path)
{
    const int row = rowOfPath(path);
    return row < 0 ? QStringLiteral("<not listed>") : cell(row, 3);
}

const QString kDe = QStringLiteral(" Dateien/Ordner geladen");
const QString kEn = QStringLiteral(" Files/Folders loaded");

} // namespace

class AcceptanceRename : public QObject
{
    Q_OBJECT
private slots:
    // File list entries (adding, columns, duplicates, gates, size texts).
    void listColumns();
    void entryFormation_data();
    void entryFormation();
    void sizeTexts_data();
    void sizeTexts();
    void sizeTextsOtherSeparator();
    void sizeTextsProbe();
    void duplicates();
    void duplicateSwitchCycle();
    void gates();
    // Name expansion seen through the preview.
    void expansion_data();
    void expansion();
    void previewOfRemovedEntry();
    // Filter dialog and folder loading.
    void filterDialogForm();
    void filterDialogOpensModally();
    void filterDialogInput();
    void scans_data();
    void scans();
    void duplicateMessageFollowsScanOrder_data();
    void duplicateMessageFollowsScanOrder();
    void symlinkLoop();
    void unreadableSubfolder();
    void dropThreeFilesAndFolder();
    void enterVersusOpenFolder();
    void openFolderDialogs_data();
    void openFolderDialogs();
    void folderEditKeys();
    void awkwardNames();
    // Settings panel and preview.
    void panelDefaults_data();
    void panelDefaults();
    void customItems();
    void placeholderInsertion_data();
    void placeholderInsertion();
    void keyFilters();
    void typedMask_data();
    void typedMask();
    void insertedText_data();
    void insertedText();
    void optionPanels();
    void previewSelection();
    void previewFollowsSort();
    // Batch rename.
    void renameNothing();
    void renameRefusals_data();
    void renameRefusals();
    void sameNewNameTwice();
    void swapRefused();
    void folderChildrenFollow();
    void numberingCountsSkippedAndFailed();
    void sortedListRenamedOnce();
    void caseOnlyAndColumns();
    void badNames_data();
    void badNames();
    void readOnlyFolder();
    void labelTexts_data();
    void labelTexts();
    // Where entries land when the list is sorted by another column, and folders and their
    // children renamed in one run.
    void sortedAdditions_data();
    void sortedAdditions();
    void folderAndChildInOneRun_data();
    void folderAndChildInOneRun();
    void trailingSlashFolder();
    void relativeAndUncleanPaths();
    void dropAnywhere_data();
    void dropAnywhere();
};

// ---- file list entries ------------------------------------------------------------------------

void AcceptanceRename::listColumns()
{
    {
        AppFixture s;
        const QStringList captions{"Name", "Typ", "Größe", "Status", "Dateipfad"};
        const int widths[] = {150, 50, 80, 90, 155};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(listModel()->headerData(c, Qt::Horizontal).toString(), captions[c]);
            QCOMPARE(listView()->columnWidth(c), widths[c]);
        }
        QCOMPARE(listModel()->columnCount(), 5);
        QCOMPARE(listView()->header()->minimumSectionSize(), 25);
        QCOMPARE(listView()->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(listView()->selectionMode() == QAbstractItemView::ExtendedSelection ||
                listView()->selectionMode() == QAbstractItemView::MultiSelection);
        QCOMPARE(listView()->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(laAnzahl(), "0" + kDe);
        QTemporaryDir dir;
        makeFile(dir.filePath("a.txt"), "x");
        drop({dir.filePath("a.txt")});
        const int alignment =
            listModel()->data(listModel()->index(0, 2), Qt::TextAlignmentRole).toInt();
        QVERIFY(alignment & Qt::AlignRight);
        const int nameAlignment =
            listModel()->data(listModel()->index(0, 0), Qt::TextAlignmentRole).toInt();
        QVERIFY(!(nameAlignment & Qt::AlignRight));
        QVERIFY(!(listModel()->flags(listModel()->index(0, 0)) & Qt::ItemIsEditable));
    }
    AppFixture s(QStringLiteral("en"));
    const QStringList captions{"Name", "Type", "Size", "Status", "Path"};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(listModel()->headerData(c, Qt::Horizontal).toString(), captions[c]);
    QCOMPARE(laAnzahl(), "0" + kEn);
}

void AcceptanceRename::entryFormation_data()
{
    QTest::addColumn<QString>("item"); // "x/" is a folder
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::newRow("archive.tar.gz") << "archive.tar.gz"
                                    << "archive.tar.gz"
                                    << "archive.tar"
                                    << "GZ";
    QTest::newRow("README") << "README"
                            << "README"
                            << "README"
                            << "";
    QTest::newRow(".profile") << ".profile"
                              << ".profile"
                              << ""
                              << "PROFILE";
    QTest::newRow("photo.jpg.jpg") << "photo.jpg.jpg"
                                   << "photo.jpg.jpg"
                                   << "photo.jpg"
                                   << "JPG";
    QTest::newRow("notes.") << "notes."
                            << "notes."
                            << "notes"
                            << "";
    QTest::newRow("mixed case extension") << "Pic.jPeG"
                                          << "Pic.jPeG"
                                          << "Pic"
                                          << "JPEG";
    QTest::newRow("folder My.Folder") << "My.Folder/"
                                      << "My.Folder"
                                      << "My.Folder"
                                      << "DIR";
    QTest::newRow("folder path ending in /") << "plain/"
                                             << "plain/"
                                             << "plain"
                                             << "DIR";
}

void AcceptanceRename::entryFormation()
{
    QFETCH(QString, item);
    QFETCH(QString, dropped);
    QFETCH(QString, name);
    QFETCH(QString, type);
    AppFixture s;
    QTemporaryDir dir;
    const bool folder = item.endsWith(u'/');
    if (folder)
        QVERIFY(QDir().mkpath(dir.filePath(item)));
    else
        makeFile(dir.filePath(item), "12345");
    const QString path = dir.path() + u'/' + dropped;
    drop({path});
    QCOMPARE(rowCount(), 1);
    QCOMPARE(rowTexts(0), (QStringList{name, type, folder ? QString() : QStringLiteral("0.005 KB"),
                                       QStringLiteral("Neu hinzugefügt"), QDir::cleanPath(path)}));
    QCOMPARE(laAnzahl(), "1" + kDe);
    // The first entry added to an empty list writes the count of 1.
    QCOMPARE(laspenden(), "1" + kDe);
    QVERIFY(s.platform.warnings.isEmpty());
}

void AcceptanceRename::sizeTexts_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0.000 KB";
    QTest::newRow("1") << qint64(1) << "0.001 KB";
    QTest::newRow("64 rounds half away from zero") << qint64(64) << "0.063 KB";
    QTest::newRow("1023") << qint64(1023) << "0.999 KB";
    QTest::newRow("1536") << qint64(1536) << "1.500 KB";
    QTest::newRow("123456789") << qint64(123456789) << "120563.270 KB";
    QTest::newRow("1073741824") << qint64(1073741824) << "1048576.000 KB";
    QTest::newRow("eight significant digits") << qint64(1234567890) << "1205632.700 KB";
    QTest::newRow("123456789 KB exponent") << qint64(123456789) * 1024 << "1.2345679E008 KB";
    QTest::newRow("100000000 KB exponent") << qint64(100000000) * 1024 << "1E008 KB";
}

void AcceptanceRename::sizeTexts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    AppFixture s;
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    makeFile(path);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        if (!f.resize(bytes))
            QSKIP("this file system takes no sparse file of that size");
    }
    drop({path});
    QCOMPARE(rowCount(), 1);
    QCOMPARE(cell(0, 2), text);
}

// The separator is read once at start, so a second run of this test program under a German
// locale shows the comma.
void AcceptanceRename::sizeTextsOtherSeparator()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    env.insert(QStringLiteral("QV_SIZE_PROBE"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("sizeTextsProbe")});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
}

void AcceptanceRename::sizeTextsProbe()
{
    if (!qEnvironmentVariableIsSet("QV_SIZE_PROBE"))
        return;
    QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
    AppFixture s;
    QTemporaryDir dir;
    const QList<QPair<qint64, QString>> cases{
        {1536, "1,500 KB"}, {0, "0,000 KB"}, {qint64(123456789) * 1024, "1,2345679E008 KB"}};
    QStringList paths;
    for (int i = 0; i < cases.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("f%1").arg(i));
        makeFile(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(cases[i].first));
        paths.append(path);
    }
    drop(paths);
    for (int i = 0; i < cases.size(); ++i)
        QCOMPARE(cell(rowOfPath(paths[i]), 2), cases[i].second);
    // The size sort reads the texts back with the same separator, exponent form included.
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow()));
    clickHeader(2);
    QCOMPARE(column(4), (QStringList{paths[1], paths[0], paths[2]}));
    clickHeader(2);
    QCOMPARE(column(4), (QStringList{paths[2], paths[0], paths[1]}));
}

void AcceptanceRename::duplicates()
{
    AppFixture s;
    QTemporaryDir dir;
    const QString a = dir.filePath("a.jpg");
    const QString upper = dir.filePath("A.JPG");
    const QString b = dir.filePath("b.jpg");
    makeFile(a, "a");
    makeFile(upper, "A");
    makeFile(b, "b");
    // Exact case: two paths, two entries.
    drop({a, upper, a, b, b});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(s.platform.warnings,
             QStringList{"Diese Datei wurde schon zur Liste hinzugefügt:\r\n\r\n" + a +
                         "\r\n\r\nSie können Dateien nur einmal zur Liste hinzufügen."});
    // The switch is off after the drop: the next drop reports again, once.
    drop({b, a});
    QCOMPARE(s.platform.warnings.size(), 2);
    QVERIFY(s.platform.warnings[1].contains("\r\n\r\n" + b + "\r\n\r\n"));
    QCOMPARE(rowCount(), 3);

    // A cancelled folder dialog over a path that is gone lists nothing and reports nothing.
    QVERIFY(QFile::remove(b));
    ui<QLineEdit>("quordner")->setText(b);
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(s.platform.pickAtCalls, 1);
    QCOMPARE(rowCount(), 3);
    QCOMPARE(s.platform.warnings.size(), 2);
    // A path listed as a folder is a duplicate file. (A dropped folder that exists is scanned
    // first, and the scan switches the warning on.)
    const QString folder = dir.filePath("f.d");
    QVERIFY(QDir().mkdir(folder));
    drop({folder});
    QCOMPARE(rowCount(), 4);
    QVERIFY(QDir().rmdir(folder));
    makeFile(folder, "now a file");
    drop({folder});
    QCOMPARE(rowCount(), 4);
    QCOMPARE(s.platform.warnings.size(), 3);
    QVERIFY(s.platform.warnings[2].startsWith("Diese Datei wurde schon"));
}

void AcceptanceRename::duplicateSwitchCycle()
{
    AppFixture s(QStringLiteral("en"));
    QTemporaryDir dir;
    makeFile(dir.filePath("one.txt"));
    makeFile(dir.filePath("two.txt"));
    s.platform.pickFromDesktopAnswer = dir.path();
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(rowCount(), 3);
    QCOMPARE(laAnzahl(), "3" + kEn);
    // After a folder load the switch stays on: loading again reports nothing.
    loadWithEnter(dir.path());
    QCOMPARE(rowCount(), 3);
    QVERIFY(s.platform.warnings.isEmpty());
    // A drop during that state reports nothing either, but switches it off at its end.
    drop({dir.filePath("one.txt")});
    QVERIFY(s.platform.warnings.isEmpty());
    drop({dir.filePath("two.txt"), dir.filePath("one.txt")});
    QCOMPARE(s.platform.warnings,
             QStringList{"This File has already been added to the File List:\r\n\r\n" +
                         dir.filePath("two.txt") +
                         "\r\n\r\nFile can not be added more than one time to the List."});
    // A dropped folder is scanned first: its first duplicate file is reported, and the scan
    // switches the warning on, so the folder's own duplicate entry is refused silently.
    drop({dir.path()});
    QCOMPARE(s.platform.warnings.size(), 2);
    QVERIFY(s.platform.warnings[1].contains("\r\n\r\n" + dir.filePath("one.txt") + "\r\n\r\n"));
    QCOMPARE(rowCount(), 3);
    // A folder that is gone is not listed again, so there is no duplicate to report.
    QVERIFY(QDir(dir.path()).removeRecursively());
    ui<QLineEdit>("quordner")->setText(dir.path());
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(rowCount(), 3);
    QCOMPARE(s.platform.warnings.size(), 2);
}

void AcceptanceRename::gates()
{
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("loose.txt"));
    makeFile(dir.filePath("box/in1.txt"));
    makeFile(dir.filePath("box/in2.txt"));
    ui<QCheckBox>("cb_dat")->click();
    QVERIFY(!ui<QCheckBox>("cb_dat")->isChecked());
    drop({dir.filePath("loose.txt"), dir.filePath("box")});
    QCOMPARE(column(4), QStringList{dir.filePath("box")});
    QVERIFY(s.platform.warnings.isEmpty());

    ui<QCheckBox>("cb_dat")->click();
    ui<QCheckBox>("cb_dir")->click();
    ui<QPushButton>("BitBtn2")->click();
    QCOMPARE(rowCount(), 0);
    drop({dir.filePath("box")});
    QStringList paths = column(4);
    paths.sort();
    QCOMPARE(paths, (QStringList{dir.filePath("box/in1.txt"), dir.filePath("box/in2.txt")}));

    // A refused addition writes no count.
    ui<QCheckBox>("cb_dat")->click();
    ui<QLabel>("laspenden")->setText(QStringLiteral("marker"));
    loadWithEnter(dir.path());
    QCOMPARE(laspenden(), QStringLiteral("marker"));
    QCOMPARE(rowCount(), 2);
}

// ---- name expansion through the preview --------------------------------------------------------

void AcceptanceRename::expansion_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("mask"); // "-" leaves the mask off
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("search"); // old, new, "N", "E", "NE" or ""
    QTest::addColumn<QString>("expected");

    const QString dd = QDate::currentDate().toString(QStringLiteral("dd"));
    const QString mm = QDate::currentDate().toString(QStringLiteral("MM"));
    const QString yyyy = QDate::currentDate().toString(QStringLiteral("yyyy"));
    auto numbered = [](int n) {
        QStringList f;
        for (int i = 0; i < n; ++i)
            f.append(QStringLiteral("f%1.txt").arg(QChar(u'a' + i)));
        return f;
    };
    const QStringList none;

    QTest::newRow("mask off ignores the mask") << QStringList{"x.jpg"} << 0 << "-"
                                               << "1" << none << "x.jpg";
    QTest::newRow("default mask photo.jpg.jpg") << QStringList{"photo.jpg.jpg"} << 0 << "%name%"
                                                << "1" << none << "photo.jpg.jpg";
    QTest::newRow("default mask archive.tar.gz") << QStringList{"archive.tar.gz"} << 0 << "%name%"
                                                 << "1" << none << "archive.tar.gz";
    QTest::newRow("empty mask") << QStringList{"x.jpg"} << 0 << ""
                                << "1" << none << ".jpg";
    QTest::newRow("%d%m%") << QStringList{"x.jpg"} << 0 << "%d%m%"
                           << "1" << none << dd + "m%.jpg";
    QTest::newRow("all date forms")
        << QStringList{"x.jpg"} << 0 << "%t%.%d%.%m%.%j%.%y%"
        << "1" << none << dd + "." + dd + "." + mm + "." + yyyy + "." + yyyy + ".jpg";
    QTest::newRow("A%num% in the old name") << QStringList{"A%num%.txt"} << 0 << "%name%"
                                            << "1" << none << "A1.txt";
    QTest::newRow("made by %name%, expanded by a later row")
        << QStringList{"%0.txt"} << 0 << "%name%num%"
        << "1" << none << "1.txt";
    QTest::newRow("%abs%") << numbered(3) << 1 << "%abs%-%num%"
                           << "1" << none << "3-2.txt";
    QTest::newRow("0num 9 entries") << numbered(9) << 8 << "%0num%"
                                    << "1" << none << "9.txt";
    QTest::newRow("0num 10 entries first") << numbered(10) << 0 << "%0num%"
                                           << "1" << none << "01.txt";
    QTest::newRow("0num 10 entries last") << numbered(10) << 9 << "%0num%"
                                          << "1" << none << "10.txt";
    QTest::newRow("0num 10 entries start 0") << numbered(10) << 9 << "%0num%"
                                             << "0" << none << "09.txt";
    QTest::newRow("0num 8 entries start 5") << numbered(8) << 7 << "%0num%"
                                            << "5" << none << "12.txt";
    QTest::newRow("start 007") << numbered(2) << 1 << "%num%"
                               << "007" << none << "8.txt";
    QTest::newRow("start abc") << numbered(2) << 1 << "%num%"
                               << "abc" << none << "2.txt";
    QTest::newRow("start empty") << numbered(2) << 1 << "%num%"
                                 << "" << none << "2.txt";
    QTest::newRow("start Custom..") << numbered(2) << 1 << "%num%"
                                    << "Custom.." << none << "2.txt";
    QTest::newRow("start -3") << numbered(2) << 0 << "%num%"
                              << "-3" << none << "-3.txt";
    QTest::newRow("folder My.Folder") << QStringList{"My.Folder/"} << 0 << "x%name%"
                                      << "1" << none << "xMy.Folder";
    QTest::newRow("search in neither box") << QStringList{"a.a"} << 0 << "-"
                                           << "1" << QStringList{"a", "b", ""} << "a.a";
    QTest::newRow("search .jpg name only") << QStringList{"x.jpg"} << 0 << "-"
                                           << "1" << QStringList{".jpg", ".png", "N"} << "x.jpg";
    QTest::newRow("search .jpg both") << QStringList{"x.jpg"} << 0 << "-"
                                      << "1" << QStringList{".jpg", ".png", "NE"} << "x.png";
    QTest::newRow("search extension only") << QStringList{"jpg.jpg"} << 0 << "-"
                                           << "1" << QStringList{"jpg", "png", "E"} << "jpg.png";
    QTest::newRow("search name only") << QStringList{"jpg.jpg"} << 0 << "-"
                                      << "1" << QStringList{"jpg", "png", "N"} << "png.jpg";
    QTest::newRow("search works on the mask's output")
        << QStringList{"abc.txt"} << 0 << "%name%-%num%"
        << "1" << QStringList{"c-1", "Z", "N"} << "abZ.txt";
}

void AcceptanceRename::expansion()
{
    QFETCH(QStringList, files);
    QFETCH(int, row);
    QFETCH(QString, mask);
    QFETCH(QString, start);
    QFETCH(QStringList, search);
    QFETCH(QString, expected);
    AppFixture s(start == QLatin1String("Custom..") ? QStringLiteral("en") : QStringLiteral("de"));
    QTemporaryDir dir;
    QStringList paths;
    for (const QString& f : files) {
        if (f.endsWith(u'/'))
            QVERIFY(QDir().mkdir(dir.filePath(f)));
        else
            makeFile(dir.filePath(f));
        paths.append(dir.path() + u'/' + QString(f).remove(u'/'));
    }
    drop(paths);
    QCOMPARE(rowCount(), files.size());
    if (mask != QLatin1String("-"))
        setMask(mask);
    auto* numstart = ui<QComboBox>("numstart");
    if (start == QLatin1String("Custom..")) {
        numstart->setCurrentIndex(numstart->findText(start));
        QCOMPARE(numstart->currentText(), QString());
    } else {
        numstart->setEditText(start);
    }
    if (!search.isEmpty())
        setSearch(search[0], search[1], search[2].contains(u'N'), search[2].contains(u'E'));
    selectRows({row});
    QCOMPARE(ui<QLabel>("vor_orig")->toolTip(), cell(row, 4));
    QCOMPARE(previewOld(), QFileInfo(cell(row, 4)).fileName());
    QCOMPARE(previewNew(), expected);
    QCOMPARE(ui<QLabel>("vor_out")->toolTip(), dir.path() + u'/' + expected);
}

void AcceptanceRename::previewOfRemovedEntry()
{
    AppFixture s;
    QTemporaryDir dir;
    for (const char* f : {"a.txt", "b.txt", "c.txt"})
        makeFile(dir.filePath(f));
    drop({dir.filePath("a.txt"), dir.filePath("b.txt"), dir.filePath("c.txt")});
    setMask(QStringLiteral("%name%_%num%"));
    selectRows({2});
    QCOMPARE(previewNew(), QStringLiteral("c_3.txt"));
    ui<QPushButton>("BitBtn2")->click();
    QCOMPARE(rowCount(), 0);
    // The preview keeps the entry; with no entry carrying its path it is numbered by the start.
    ui<QComboBox>("numstart")->setEditText(QStringLiteral("5"));
    QCOMPARE(previewOld(), QStringLiteral("c.txt"));
    QCOMPARE(previewNew(), QStringLiteral("c_5.txt"));
}

// ---- filter dialog and folder loading --------------------------------------------------------

void AcceptanceRename::filterDialogForm()
{
    AppFixture s;
    QWidget* dialog = topLevel("quorvel_filter");
    QCOMPARE(QString::fromLatin1(dialog->metaObject()->className()),
             QStringLiteral("Tquorvel_filter"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Filter"));
    QCOMPARE(dialog->size(), QSize(341, 163));
    QVERIFY((dialog->windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(
        !(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    auto* alle = in<QRadioButton>("quorvel_filter", "alle");
    auto* auswahl = in<QRadioButton>("quorvel_filter", "auswahl");
    auto* filter = in<QLineEdit>("quorvel_filter", "filter");
    auto* uv = in<QCheckBox>("quorvel_filter", "uv");
    auto* ok = in<QPushButton>("quorvel_filter", "OK");
    QCOMPARE(in<QLabel>("quorvel_filter", "Label1")->pos(), QPoint(8, 8));
    QCOMPARE(alle->geometry(), QRect(8, 40, 321, 17));
    QCOMPARE(auswahl->geometry(), QRect(8, 63, 321, 17));
    QCOMPARE(filter->geometry(), QRect(24, 86, 309, 21));
    QCOMPARE(uv->geometry(), QRect(8, 113, 225, 17));
    QCOMPARE(ok->geometry(), QRect(258, 134, 75, 25));
    QVERIFY(alle->isChecked());
    QVERIFY(!auswahl->isChecked());
    QCOMPARE(filter->text(), QStringLiteral("jpg,bmp,txt"));
    QVERIFY(!filter->isEnabled());
    QVERIFY(uv->isChecked());
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(in<QLabel>("quorvel_filter", "Label1")->text(),
             QStringLiteral("Nach welchen Dateien soll gesucht werden?"));
    QCOMPARE(alle->text(), QStringLiteral("Alle Dateien suchen (Keinen Filter verwenden)"));
    QCOMPARE(auswahl->text(), QStringLiteral("Nur nach folgenden Dateien suchen:"));
    QCOMPARE(uv->text(), QStringLiteral("Auch Unterverzeichnisse durchsuchen"));

    // Tab order: alle, auswahl, filter, OK, uv.
    QList<QWidget*> order;
    const QList<QWidget*> five{alle, auswahl, filter, ok, uv};
    QWidget* w = alle;
    do {
        if (five.contains(w) && !order.contains(w))
            order.append(w);
        w = w->nextInFocusChain();
    } while (w != alle);
    QCOMPARE(order, five);

    // A language switch re-captions the closed dialog.
    mainWindow()->findChild<QAction*>(QStringLiteral("Englisch1"))->trigger();
    QCOMPARE(alle->text(), QStringLiteral("Search for all files (Use no filter)"));
    QCOMPARE(auswahl->text(), QStringLiteral("Only search for following files:"));
    QCOMPARE(uv->text(), QStringLiteral("Search all Subfolders"));
    QCOMPARE(in<QLabel>("quorvel_filter", "Label1")->text(),
             QStringLiteral("Which files shall be looked for?"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Filter"));
}

void AcceptanceRename::filterDialogOpensModally()
{
    AppFixture s;
    mainWindow()->move(40, 30);
    QWidget* dialog = topLevel("quorvel_filter");
    QWidget* client = ui<QWidget>("client");
    bool seen = false;
    QPoint where;
    QTimer::singleShot(50, [&] {
        seen = QApplication::activeModalWidget() == dialog;
        where = dialog->pos();
        // No cancel: a change made before closing by the close box stays.
        in<QCheckBox>("quorvel_filter", "uv")->click();
        dialog->close();
    });
    ui<QPushButton>("BitBtn1")->click();
    QVERIFY(seen);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!in<QCheckBox>("quorvel_filter", "uv")->isChecked());
    const QRect frame = mainWindow()->frameGeometry();
    QCOMPARE(where, QPoint(frame.left() + (client->width() - 341) / 2,
                           frame.top() + (client->height() - 163) / 2));

    // Moved away, it comes back over the main window when it opens again; OK closes it.
    dialog->move(0, 0);
    QTimer::singleShot(50, [&] {
        where = dialog->pos();
        QTest::mouseClick(in<QPushButton>("quorvel_filter", "OK"), Qt::LeftButton);
    });
    ui<QPushButton>("BitBtn1")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(where, QPoint(frame.left() + (client->width() - 341) / 2,
                           frame.top() + (client->height() - 163) / 2));
}

void AcceptanceRename::filterDialogInput()
{
    AppFixture s;
    auto* alle = in<QRadioButton>("quorvel_filter", "alle");
    auto* auswahl = in<QRadioButton>("quorvel_filter", "auswahl");
    auto* filter = in<QLineEdit>("quorvel_filter", "filter");
    auswahl->click();
    QVERIFY(filter->isEnabled());
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("a*b?c\"d/e<f>g|h, i"));
    QCOMPARE(filter->text(), QStringLiteral("abcdefgh, i"));
    alle->click();
    QVERIFY(!filter->isEnabled());
    QCOMPARE(filter->text(), QStringLiteral("abcdefgh, i"));

    // With alle the kept filter text is ignored: every file is taken.
    QTemporaryDir dir;
    makeFile(dir.filePath("x.png"));
    makeFile(dir.filePath("noext"));
    loadWithEnter(dir.path());
    QCOMPARE(rowCount(), 2);
}

void AcceptanceRename::scans_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QString>("filter"); // empty: all files
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<QStringList>("listed");

    const QStringList pics{"a.jpg", "b.JPG", "c.png", "sub/d.jpg"};
    QTest::newRow("filter jpg with subfolders")
        << pics << "jpg" << true << QStringList{"a.jpg", "b.JPG", "sub/d.jpg"};
    QTest::newRow("filter jpg without subfolders")
        << pics << "jpg" << false << QStringList{"a.jpg", "b.JPG"};
    QTest::newRow("jpg,JPG lists each once")
        << pics << "jpg,JPG" << true << QStringList{"a.jpg", "b.JPG", "sub/d.jpg"};
    QTest::newRow("jpg, ,bmp") << QStringList{"a.jpg", "b.bmp", "c.png", "d"} << "jpg, ,bmp" << true
                               << QStringList{"a.jpg", "b.bmp"};
    QTest::newRow("only blanks and commas adds no files")
        << QStringList{"a.jpg"} << " , ," << true << QStringList{};
    QTest::newRow("all files, hidden ones and deep ones too")
        << QStringList{".hidden", "noext", "x.y.z", "s/t/u/deep.bin", ".dot/h.txt"} << "" << true
        << QStringList{".dot/h.txt", ".hidden", "noext", "s/t/u/deep.bin", "x.y.z"};
    QTest::newRow("a folder named .txt is scanned")
        << QStringList{"notes.txt/2020/a.txt", "notes.txt/b.jpg"} << "" << true
        << QStringList{"notes.txt/2020/a.txt", "notes.txt/b.jpg"};
}

void AcceptanceRename::scans()
{
    QFETCH(QStringList, layout);
    QFETCH(QString, filter);
    QFETCH(bool, subfolders);
    QFETCH(QStringList, listed);
    AppFixture s;
    QTemporaryDir dir;
    for (const QString& f : layout)
        makeFile(dir.filePath(f), f.toUtf8());
    if (!filter.isEmpty()) {
        in<QRadioButton>("quorvel_filter", "auswahl")->click();
        in<QLineEdit>("quorvel_filter", "filter")->setText(filter);
    }
    if (!subfolders)
        in<QCheckBox>("quorvel_filter", "uv")->click();
    // The folder's path itself holds ".txt" in one row; loading goes through the folder edit.
    const QString root = layout.first().startsWith(QLatin1String("notes.txt"))
                             ? dir.filePath("notes.txt")
                             : dir.path();
    loadWithEnter(root);
    QStringList got = column(4);
    for (QString& p : got)
        p = QDir(dir.path()).relativeFilePath(p);
    got.sort();
    QCOMPARE(got, listed);
    QCOMPARE(laAnzahl(), QString::number(listed.size()) + kDe);
    // No folder entry through the edit; the first entry is selected.
    QVERIFY(!column(1).contains(QStringLiteral("DIR")));
    if (!listed.isEmpty()) {
        QVERIFY(listView()->selectionModel()->isRowSelected(0, {}));
        QCOMPARE(previewOld(), QFileInfo(cell(0, 4)).fileName());
    }
}

void AcceptanceRename::duplicateMessageFollowsScanOrder_data()
{
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<QString>("first");
    // Subfolders come first, then the folder's own files pattern by pattern, names in order.
    QTest::newRow("with subfolders") << true << "sub/d.jpg";
    QTest::newRow("without subfolders") << false << "a.jpg";
}

void AcceptanceRename::duplicateMessageFollowsScanOrder()
{
    QFETCH(bool, subfolders);
    QFETCH(QString, first);
    AppFixture s;
    QTemporaryDir dir;
    for (const char* f : {"b.JPG", "a.jpg", "c.png", "sub/d.jpg"})
        makeFile(dir.filePath(f));
    in<QRadioButton>("quorvel_filter", "auswahl")->click();
    in<QLineEdit>("quorvel_filter", "filter")->setText(QStringLiteral("jpg,JPG"));
    if (!subfolders)
        in<QCheckBox>("quorvel_filter", "uv")->click();
    loadWithEnter(dir.path());
    QCOMPARE(s.platform.warnings.size(), 1);
    QVERIFY2(s.platform.warnings[0].contains("\r\n\r\n" + dir.filePath(first) + "\r\n\r\n"),
             qPrintable(s.platform.warnings[0]));
}

void AcceptanceRename::symlinkLoop()
{
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("top.txt"));
    makeFile(dir.filePath("a/inner.txt"));
    QVERIFY(QFile::link(dir.path(), dir.filePath("a/loop")));
    QVERIFY(QFile::link(dir.filePath("top.txt"), dir.filePath("a/link.txt")));
    loadWithEnter(dir.path());
    QStringList got = column(4);
    got.sort();
    // Links to files are files; links to folders are not followed.
    QCOMPARE(got, (QStringList{dir.filePath("a/inner.txt"), dir.filePath("a/link.txt"),
                               dir.filePath("top.txt")}));
}

void AcceptanceRename::unreadableSubfolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not hold for root");
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("a/one.txt"));
    makeFile(dir.filePath("locked/two.txt"));
    makeFile(dir.filePath("z/three.txt"));
    QFile::setPermissions(dir.filePath("locked"), QFileDevice::Permissions());
    loadWithEnter(dir.path());
    QFile::setPermissions(dir.filePath("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QStringList got = column(4);
    got.sort();
    QCOMPARE(got, (QStringList{dir.filePath("a/one.txt"), dir.filePath("z/three.txt")}));
    QVERIFY(s.platform.warnings.isEmpty());
}

void AcceptanceRename::dropThreeFilesAndFolder()
{
    AppFixture s;
    QTemporaryDir dir;
    QStringList items;
    for (int i = 0; i < 3; ++i) {
        makeFile(dir.filePath(QStringLiteral("loose%1.bin").arg(i)));
        items.append(dir.filePath(QStringLiteral("loose%1.bin").arg(i)));
    }
    for (int i = 0; i < 10; ++i)
        makeFile(dir.filePath(QStringLiteral("box/s%1/f%2.txt").arg(i % 3).arg(i)));
    items.append(dir.filePath("box"));
    // Dropped on an edit, the files still belong to the whole window.
    drop(items, ui<QLineEdit>("quordner"));
    QCOMPARE(laspenden(), "4" + kDe);
    QCOMPARE(laAnzahl(), "14" + kDe);
    QCOMPARE(rowCount(), 14);
    QCOMPARE(ui<QLineEdit>("quordner")->text(), QString());
    QVERIFY(mainWindow()->isEnabled());
    QVERIFY(listView()->selectionModel()->isRowSelected(0, {}));
    QCOMPARE(cell(rowOfPath(dir.filePath("box")), 1), QStringLiteral("DIR"));
}

void AcceptanceRename::enterVersusOpenFolder()
{
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("f/1.txt"));
    makeFile(dir.filePath("f/2.txt"));
    loadWithEnter(dir.filePath("f"));
    QCOMPARE(rowCount(), 2);
    QVERIFY(!column(1).contains(QStringLiteral("DIR")));
    ui<QPushButton>("BitBtn2")->click();
    // OpenOrdner on a valid path: the dialog opens there; cancelling loads nothing, choosing the
    // folder loads it with its own entry.
    ui<QLineEdit>("quordner")->setText(dir.filePath("f"));
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(s.platform.pickAtCalls, 1);
    QCOMPARE(s.platform.folderDialogTitles, QStringList{"Verzeichnis öffnen.."});
    QCOMPARE(rowCount(), 0);
    s.platform.pickAtAnswer = dir.filePath("f");
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(rowOfPath(dir.filePath("f")), 1), QStringLiteral("DIR"));
    QCOMPARE(laAnzahl(), "3" + kDe);

    // Enter on a folder that does not exist: the message, nothing added.
    loadWithEnter(dir.filePath("nothere"));
    QCOMPARE(s.platform.warnings,
             QStringList{"Sie haben einen nicht existierenden Ordner angegeben.\r\n\r\nBitte "
                         "wählen Sie einen anderen Ordner aus."});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(ui<QLineEdit>("quordner")->text(), dir.filePath("nothere"));
}

void AcceptanceRename::openFolderDialogs_data()
{
    QTest::addColumn<QString>("typed"); // "@" stands for an existing folder
    QTest::addColumn<bool>("atFolder");
    QTest::addColumn<QString>("answer"); // "@" the existing folder, "" a cancel
    QTest::addColumn<QString>("editAfter");
    QTest::addColumn<int>("entries");
    QTest::newRow("root is valid") << "/" << true << "@"
                                   << "@" << 3;
    QTest::newRow("existing folder, chosen again") << "@" << true << "@"
                                                   << "@" << 3;
    QTest::newRow("trailing slash valid") << "@/" << true << ""
                                          << "@/" << 0;
    QTest::newRow("missing folder cancelled: nothing listed") << "/no/such/folder" << true << ""
                                                              << "/no/such/folder" << 0;
    QTest::newRow("relative path: desktop dialog") << "a/b" << false << "@"
                                                   << "@" << 3;
    QTest::newRow("empty: desktop dialog cancelled") << "" << false << ""
                                                     << "" << 0;
    QTest::newRow("colon in last piece: desktop, cancel keeps text") << "/a/b:c" << false << ""
                                                                     << "/a/b:c" << 0;
    QTest::newRow("backslash in last piece") << "/a/b\\c" << false << ""
                                             << "/a/b\\c" << 0;
    QTest::newRow("question mark in last piece") << "/a/b?" << false << ""
                                                 << "/a/b?" << 0;
    QTest::newRow("middle pieces not examined") << "/a:*/b" << true << ""
                                                << "/a:*/b" << 0;
}

void AcceptanceRename::openFolderDialogs()
{
    QFETCH(QString, typed);
    QFETCH(bool, atFolder);
    QFETCH(QString, answer);
    QFETCH(QString, editAfter);
    QFETCH(int, entries);
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("x/1.txt"));
    makeFile(dir.filePath("x/2.txt"));
    const QString folder = dir.filePath("x");
    auto expand = [&](QString t) { return t.replace(u'@', folder); };
    s.platform.pickAtAnswer = expand(answer);
    s.platform.pickFromDesktopAnswer = expand(answer);
    ui<QLineEdit>("quordner")->setText(expand(typed));
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(s.platform.pickAtCalls, atFolder ? 1 : 0);
    QCOMPARE(s.platform.pickFromDesktopCalls, atFolder ? 0 : 1);
    QCOMPARE(ui<QLineEdit>("quordner")->text(), expand(editAfter));
    QCOMPARE(rowCount(), entries);
    if (entries > 0)
        QCOMPARE(laAnzahl(), QString::number(entries) + kDe);
}

void AcceptanceRename::folderEditKeys()
{
    AppFixture s;
    auto* edit = ui<QLineEdit>("quordner");
    QTest::keyClicks(edit, QStringLiteral("/a\"b*c<d>e?f|g/h:i"));
    // A typed "/" passes on Linux: it separates the folders of a path.
    QCOMPARE(edit->text(), QStringLiteral("/abcdefg/h:i"));
    edit->setText(QStringLiteral("/some/where"));
    edit->setSelection(0, 0);
    QTest::mouseDClick(edit, Qt::LeftButton, {}, QPoint(3, edit->height() / 2));
    QCOMPARE(edit->selectedText(), QStringLiteral("/some/where"));
}

void AcceptanceRename::awkwardNames()
{
    AppFixture s;
    QTemporaryDir dir;
    const QStringList names{"with space.txt", "Ümläut ß.txt", "-leading.txt", "new\nline.txt"};
    for (const QString& n : names)
        makeFile(dir.filePath(n), n.toUtf8());
    const QByteArray bad = QFile::encodeName(dir.path()) + "/bad\xff\xfe.txt";
    FILE* raw = ::fopen(bad.constData(), "w");
    QVERIFY(raw);
    ::fclose(raw);
    loadWithEnter(dir.path());
    QStringList got = column(4);
    got.sort();
    QStringList expected;
    for (const QString& n : names)
        expected.append(dir.filePath(n));
    expected.append(qv::shownText(qv::pathFromBytes(bad)));
    expected.sort();
    QCOMPARE(got, expected);

    // They rename as well.
    setMask(QStringLiteral("r%name%"));
    rename();
    QStringList onDisk = diskTree(dir.path());
    QVERIFY(onDisk.contains(QStringLiteral("rwith space.txt")));
    QVERIFY(onDisk.contains(QStringLiteral("rÜmläut ß.txt")));
    QVERIFY(onDisk.contains(QStringLiteral("r-leading.txt")));
    QVERIFY(onDisk.contains(QStringLiteral("rnew\nline.txt")));
    QCOMPARE(contentOf(dir.filePath("r-leading.txt")), QByteArray("-leading.txt"));
    // The name that is not UTF-8 is formed from what the list shows.
    QVERIFY(onDisk.contains(QStringLiteral("rbad\uFFFD\uFFFD.txt")));
    QCOMPARE(::access(bad.constData(), F_OK), -1);
}

// ---- settings panel and preview ----------------------------------------------------------------

void AcceptanceRename::panelDefaults_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("de") << "de";
    QTest::newRow("en") << "en";
}

void AcceptanceRename::panelDefaults()
{
    QFETCH(QString, language);
    const bool de = language == QLatin1String("de");
    AppFixture s(language);
    QVERIFY(!ui<QCheckBox>("act_maske")->isChecked());
    QVERIFY(!ui<QCheckBox>("act_suchenersetzen")->isChecked());
    QVERIFY(ui<QCheckBox>("cb_suchname")->isChecked());
    QVERIFY(!ui<QCheckBox>("cb_suchendung")->isChecked());
    QVERIFY(ui<QWidget>("pa1")->isHidden());
    QVERIFY(ui<QWidget>("pa2")->isHidden());
    auto* maske = ui<QComboBox>("maske");
    auto* numstart = ui<QComboBox>("numstart");
    QVERIFY(maske->isEditable());
    QCOMPARE(maske->currentText(), QStringLiteral("%name%"));
    QStringList items;
    for (int i = 0; i < maske->count(); ++i)
        items.append(maske->itemText(i));
    QCOMPARE(items, (QStringList{"%name%", "%name%1", "%name%%num%", "%name%-%0num%",
                                 "%name%-%y%-%m%-%d%", "%0num%", "%0num% %name%", "%0num%-%abs%",
                                 de ? "Benutzerdefiniert.." : "Custom.."}));
    QCOMPARE(numstart->currentText(), QStringLiteral("1"));
    items.clear();
    for (int i = 0; i < numstart->count(); ++i)
        items.append(numstart->itemText(i));
    QCOMPARE(items, (QStringList{"0", "1", "2", "5", de ? "Benutzer.." : "Custom.."}));
    QCOMPARE(ui<QLineEdit>("suchenalt")->text(), QString());
    QCOMPARE(ui<QLineEdit>("suchenneu")->text(), QString());
    QCOMPARE(previewOld(), QString());
    QCOMPARE(previewNew(), QString());
    QCOMPARE(ui<QLabel>("Label17")->text(), de ? QStringLiteral("%t%") : QStringLiteral("%d%"));
    QCOMPARE(ui<QLabel>("Label19")->text(), de ? QStringLiteral("%j%") : QStringLiteral("%y%"));
    QCOMPARE(ui<QLabel>("Label5")->text(), QStringLiteral("%name%"));
    QCOMPARE(ui<QLabel>("Label9")->text(), QStringLiteral("%abs%"));
    QCOMPARE(ui<QLabel>("Label7")->text(), QStringLiteral("%num%"));
    QCOMPARE(ui<QLabel>("Label12")->text(), QStringLiteral("%0num%"));
    QCOMPARE(ui<QLabel>("Label21")->text(), QStringLiteral("%m%"));
    QCOMPARE(ui<QLabel>("Label14")->text(),
             de ? QStringLiteral("Alter Name:") : QStringLiteral("Old Name:"));
    QCOMPARE(ui<QLabel>("Label15")->text(),
             de ? QStringLiteral("Neuer Name:") : QStringLiteral("New Name:"));
    QCOMPARE(ui<QCheckBox>("act_maske")->text(),
             de ? QStringLiteral("Wählen Sie eine Maske für die Dateien")
                : QStringLiteral("Choose a Mask for the Files"));
    QCOMPARE(ui<QCheckBox>("cb_suchendung")->text(),
             de ? QStringLiteral("Dateiendung") : QStringLiteral("File Extension"));
    QCOMPARE(ui<QPushButton>("Umbenennen")->text(),
             de ? QStringLiteral("Umbenennen") : QStringLiteral("Rename"));
}

void AcceptanceRename::customItems()
{
    AppFixture s;
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow()));
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"));
    drop({dir.filePath("a.txt")});
    setMask(QStringLiteral("%name%X"));
    QCOMPARE(previewNew(), QStringLiteral("aX.txt"));
    auto* maske = ui<QComboBox>("maske");
    maske->setCurrentIndex(maske->findText(QStringLiteral("Benutzerdefiniert..")));
    QCOMPARE(maske->currentText(), QString());
    QCOMPARE(maske->currentIndex(), -1);
    QVERIFY(maske->hasFocus() || QApplication::focusWidget() == maske->lineEdit());
    // The preview was not refreshed by choosing the item.
    QCOMPARE(previewNew(), QStringLiteral("aX.txt"));
    QTest::keyClicks(maske, QStringLiteral("n%name%"));
    QCOMPARE(previewNew(), QStringLiteral("na.txt"));

    setMask(QStringLiteral("%num%"));
    auto* numstart = ui<QComboBox>("numstart");
    numstart->setEditText(QStringLiteral("5"));
    QCOMPARE(previewNew(), QStringLiteral("5.txt"));
    numstart->setCurrentIndex(numstart->findText(QStringLiteral("Benutzer..")));
    QCOMPARE(numstart->currentText(), QString());
    QVERIFY(numstart->hasFocus() || QApplication::focusWidget() == numstart->lineEdit());
    QCOMPARE(previewNew(), QStringLiteral("5.txt"));
    // The next refresh numbers from 1.
    ui<QCheckBox>("cb_suchname")->click();
    QCOMPARE(previewNew(), QStringLiteral("1.txt"));
    mainWindow()->hide();
}

void AcceptanceRename::placeholderInsertion_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("caret behind %name%") << "de"
                                         << "%name%" << 6 << 0 << "Label7"
                                         << "%name%%num%" << 11;
    QTest::newRow("whole text selected") << "de"
                                         << "%name%" << 0 << 6 << "Label7"
                                         << "%num%" << 5;
    QTest::newRow("caret at the start") << "de"
                                        << "%name%" << 0 << 0 << "Label12"
                                        << "%0num%%name%" << 6;
    QTest::newRow("middle selection") << "de"
                                      << "abcdef" << 2 << 2 << "Label9"
                                      << "ab%abs%ef" << 7;
    QTest::newRow("day label in German") << "de"
                                         << "" << 0 << 0 << "Label17"
                                         << "%t%" << 3;
    QTest::newRow("day label in English") << "en"
                                          << "" << 0 << 0 << "Label17"
                                          << "%d%" << 3;
    QTest::newRow("year label in German") << "de"
                                          << "x" << 1 << 0 << "Label19"
                                          << "x%j%" << 4;
    QTest::newRow("year label in English") << "en"
                                           << "x" << 1 << 0 << "Label19"
                                           << "x%y%" << 4;
    QTest::newRow("month label") << "en"
                                 << "x" << 0 << 1 << "Label21"
                                 << "%m%" << 3;
    QTest::newRow("name label") << "en"
                                << "-" << 1 << 0 << "Label5"
                                << "-%name%" << 7;
}

void AcceptanceRename::placeholderInsertion()
{
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, label);
    QFETCH(QString, result);
    QFETCH(int, caret);
    AppFixture s(language);
    QTemporaryDir dir;
    makeFile(dir.filePath("old.txt"));
    drop({dir.filePath("old.txt")});
    ui<QCheckBox>("act_maske")->click();
    auto* maske = ui<QComboBox>("maske");
    maske->setEditText(text);
    maske->lineEdit()->setSelection(selStart, selLength);
    if (selLength == 0)
        maske->lineEdit()->setCursorPosition(selStart);
    QTest::mouseClick(ui<QLabel>(label.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(maske->currentText(), result);
    QCOMPARE(maske->lineEdit()->cursorPosition(), caret);
    QVERIFY(!maske->lineEdit()->hasSelectedText());
    // The preview follows the new mask.
    if (result == QLatin1String("%name%%num%"))
        QCOMPARE(previewNew(), QStringLiteral("old1.txt"));
    if (result == QLatin1String("%num%"))
        QCOMPARE(previewNew(), QStringLiteral("1.txt"));
}

void AcceptanceRename::keyFilters()
{
    AppFixture s;
    auto* maske = ui<QComboBox>("maske");
    ui<QCheckBox>("act_maske")->click();
    maske->setEditText(QString());
    QTest::keyClicks(maske, QStringLiteral("a?b/c\"d*e:f<g>h\\i|j%k -"));
    QCOMPARE(maske->currentText(), QStringLiteral("abcdefghij%k -"));
    for (const char* name : {"suchenalt", "suchenneu"}) {
        auto* edit = ui<QLineEdit>(name);
        QTest::keyClicks(edit, QStringLiteral("a?b/c\"d*e:f<g>h\\i|j"));
        QCOMPARE(edit->text(), QStringLiteral("abcdefghij"));
    }
    auto* numstart = ui<QComboBox>("numstart");
    numstart->setEditText(QString());
    QTest::keyClicks(numstart, QStringLiteral("1-2a+3 "));
    QCOMPARE(numstart->currentText(), QStringLiteral("123"));
    QTest::keyClick(numstart, Qt::Key_Backspace);
    QCOMPARE(numstart->currentText(), QStringLiteral("12"));
    // Inserted text passes the same filters; what is allowed stays, in order.
    maske->lineEdit()->insert(QStringLiteral("?x/y"));
    QCOMPARE(maske->currentText(), QStringLiteral("abcdefghij%k -xy"));
    numstart->lineEdit()->insert(QStringLiteral("-3x"));
    QCOMPARE(numstart->currentText(), QStringLiteral("123"));
}

void AcceptanceRename::typedMask_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("renamedTo");
    // Each typed first letter is also the first letter of an item of the list.
    QTest::newRow("de/custom item's letter") << "de"
                                             << "Bild_%num%"
                                             << "Bild_1.txt";
    QTest::newRow("en/custom item's letter") << "en"
                                             << "Copy_%num%"
                                             << "Copy_1.txt";
    QTest::newRow("de/start of a listed mask") << "de"
                                               << "%name%-"
                                               << "a-.txt";
}

// What the user types is the mask, letter for letter; nothing completes it.
void AcceptanceRename::typedMask()
{
    QFETCH(QString, language);
    QFETCH(QString, typed);
    QFETCH(QString, renamedTo);
    AppFixture s(language);
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"));
    drop({dir.filePath("a.txt")});
    ui<QCheckBox>("act_maske")->click();
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowActive(mainWindow()));
    auto* maske = ui<QComboBox>("maske");
    maske->setFocus();
    maske->lineEdit()->selectAll();
    QTest::keyClicks(maske, typed);
    QCOMPARE(maske->currentText(), typed);
    rename();
    QCOMPARE(diskTree(dir.path()), QStringList{renamedTo});
}

void AcceptanceRename::insertedText_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    for (const char* how : {"Ctrl+V", "menu", "input method"}) {
        const QString h = QLatin1String(how);
        QTest::addRow("maske/%s", how) << "prog"
                                       << "maske" << h << "x/y?:z"
                                       << "xyz";
        QTest::addRow("suchenalt/%s", how) << "prog"
                                           << "suchenalt" << h << "a*b|c"
                                           << "abc";
        QTest::addRow("suchenneu/%s", how) << "prog"
                                           << "suchenneu" << h << "<a>\"b\\"
                                           << "ab";
        QTest::addRow("quordner/%s", how) << "prog"
                                          << "quordner" << h << "/t?m*p|"
                                          << "/tmp";
        QTest::addRow("filter/%s", how) << "quorvel_filter"
                                        << "filter" << h << "jpg, *.png?"
                                        << "jpg, .png";
    }
    // The numbering start takes digits only; Ctrl+V is a refused key there.
    QTest::newRow("numstart/menu") << "prog"
                                   << "numstart"
                                   << "menu"
                                   << "1a2-3"
                                   << "123";
    QTest::newRow("numstart/input method") << "prog"
                                           << "numstart"
                                           << "input method"
                                           << "4 5x"
                                           << "45";
}

// Text that arrives other than by typing passes the same character filters.
void AcceptanceRename::insertedText()
{
    QFETCH(QString, window);
    QFETCH(QString, edit);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    AppFixture s;
    const QByteArray w = window.toLatin1();
    const QByteArray e = edit.toLatin1();
    QLineEdit* target = nullptr;
    if (auto* combo = topLevel(w.constData())->findChild<QComboBox*>(edit))
        target = combo->lineEdit();
    else
        target = in<QLineEdit>(w.constData(), e.constData());
    target->setEnabled(true);
    target->clear();
    target->setFocus();
    if (how == QLatin1String("Ctrl+V")) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    } else if (how == QLatin1String("menu")) {
        QApplication::clipboard()->setText(text);
        QVERIFY(QMetaObject::invokeMethod(target, "paste"));
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(target, &commit);
    }
    QCOMPARE(target->text(), expected);
    QCOMPARE(target->cursorPosition(), int(expected.size()));
}

void AcceptanceRename::optionPanels()
{
    AppFixture s;
    auto* panel1 = ui<QWidget>("Panel1");
    auto* panel3 = ui<QWidget>("Panel3");
    auto* panel6 = ui<QWidget>("Panel6");
    auto* pa1 = ui<QWidget>("pa1");
    auto* pa2 = ui<QWidget>("pa2");
    auto checkLayout = [&](int height) {
        QCOMPARE(panel1->height(), height);
        QCOMPARE(panel1->y(), panel3->y() - height - 5);
        QCOMPARE(panel6->height(), panel1->y() - 8);
    };
    checkLayout(100);
    QTemporaryDir dir;
    makeFile(dir.filePath("x.jpg"));
    drop({dir.filePath("x.jpg")});
    selectRows({0});

    ui<QCheckBox>("act_suchenersetzen")->click();
    QVERIFY(!pa1->isHidden());
    QVERIFY(pa2->isHidden());
    checkLayout(206);
    ui<QLineEdit>("suchenalt")->setText(QStringLiteral("x"));
    ui<QLineEdit>("suchenneu")->setText(QStringLiteral("y"));
    QCOMPARE(previewNew(), QStringLiteral("y.jpg"));

    ui<QCheckBox>("act_maske")->click();
    QVERIFY(pa1->isHidden());
    QVERIFY(!pa2->isHidden());
    checkLayout(213);
    QVERIFY(ui<QCheckBox>("act_suchenersetzen")->isChecked());
    ui<QComboBox>("maske")->setEditText(QStringLiteral("%name%x"));
    // The search still applies to the mask's output.
    QCOMPARE(previewNew(), QStringLiteral("yy.jpg"));

    ui<QCheckBox>("act_maske")->click();
    QVERIFY(pa1->isHidden());
    QVERIFY(pa2->isHidden());
    checkLayout(100);
    QCOMPARE(previewNew(), QStringLiteral("y.jpg"));
    ui<QCheckBox>("act_suchenersetzen")->click();
    checkLayout(100);
    QCOMPARE(previewNew(), QStringLiteral("x.jpg"));
    ui<QCheckBox>("act_suchenersetzen")->click();
    checkLayout(206);
}

void AcceptanceRename::previewSelection()
{
    AppFixture s;
    QTemporaryDir dir;
    for (const char* f : {"d.txt", "a.txt", "c.txt", "b.txt"})
        makeFile(dir.filePath(f));
    drop({dir.filePath("d.txt"), dir.filePath("a.txt"), dir.filePath("c.txt"),
          dir.filePath("b.txt")});
    QCOMPARE(column(0), (QStringList{"a", "b", "c", "d"}));
    setMask(QStringLiteral("%name%_%num%"));
    selectRows({3, 1, 2});
    QCOMPARE(previewOld(), QStringLiteral("b.txt"));
    QCOMPARE(previewNew(), QStringLiteral("b_2.txt"));
    QCOMPARE(ui<QLabel>("vor_orig")->toolTip(), dir.filePath("b.txt"));
    QCOMPARE(ui<QLabel>("vor_out")->toolTip(), dir.filePath("b_2.txt"));
    listView()->selectionModel()->clearSelection();
    QCOMPARE(previewOld(), QStringLiteral("b.txt"));
    QCOMPARE(previewNew(), QStringLiteral("b_2.txt"));
    // Every setting refreshes the preview.
    ui<QComboBox>("numstart")->setEditText(QStringLiteral("10"));
    QCOMPARE(previewNew(), QStringLiteral("b_11.txt"));
    setSearch(QStringLiteral("_"), QStringLiteral("+"));
    QCOMPARE(previewNew(), QStringLiteral("b+11.txt"));
    ui<QCheckBox>("cb_suchname")->click();
    QCOMPARE(previewNew(), QStringLiteral("b_11.txt"));
    ui<QCheckBox>("cb_suchendung")->click();
    QCOMPARE(previewNew(), QStringLiteral("b_11.txt"));
    ui<QLineEdit>("suchenalt")->setText(QStringLiteral("txt"));
    ui<QLineEdit>("suchenneu")->setText(QStringLiteral("md"));
    QCOMPARE(previewNew(), QStringLiteral("b_11.md"));
}

void AcceptanceRename::previewFollowsSort()
{
    AppFixture s;
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow()));
    QTemporaryDir dir;
    QStringList paths;
    for (const char* f : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        makeFile(dir.filePath(f));
        paths.append(dir.filePath(f));
    }
    drop(paths);
    setMask(QStringLiteral("%name%_%num%"));
    selectRows({3});
    QCOMPARE(previewNew(), QStringLiteral("d_4.txt"));
    // The first click on the name column sorts descending.
    clickHeader(0);
    QCOMPARE(column(0), (QStringList{"d", "c", "b", "a"}));
    QCOMPARE(previewNew(), QStringLiteral("d_1.txt"));
    mainWindow()->hide();
}

// ---- batch rename ---------------------------------------------------------------------------

void AcceptanceRename::renameNothing()
{
    AppFixture s;
    ui<QLabel>("laspenden")->setText(QStringLiteral("untouched"));
    rename();
    QCOMPARE(laspenden(), QStringLiteral("untouched"));
    QVERIFY(mainWindow()->isEnabled());

    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "A");
    makeFile(dir.filePath("b.txt"), "B");
    drop({dir.filePath("a.txt"), dir.filePath("b.txt")});
    ui<QLabel>("laspenden")->setText(QStringLiteral("untouched"));
    ui<QCheckBox>("act_maske")->click();
    rename();
    QCOMPARE(laspenden(), QStringLiteral("untouched"));
    QCOMPARE(column(3), (QStringList{"Neu hinzugefügt", "Neu hinzugefügt"}));
    QCOMPARE(diskTree(dir.path()), (QStringList{"a.txt", "b.txt"}));
}

void AcceptanceRename::renameRefusals_data()
{
    QTest::addColumn<QString>("target"); // what stands under the new name
    QTest::addColumn<QString>("status");
    QTest::newRow("file") << "file"
                          << "Datei existiert";
    QTest::newRow("empty folder") << "empty"
                                  << "Fehler";
    QTest::newRow("non-empty folder") << "full"
                                      << "Fehler";
    QTest::newRow("dangling link") << "link"
                                   << "Datei existiert";
}

void AcceptanceRename::renameRefusals()
{
    QFETCH(QString, target);
    QFETCH(QString, status);
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "mine");
    QStringList expected{"a.txt", "b.txt"};
    if (target == QLatin1String("file")) {
        makeFile(dir.filePath("b.txt"), "theirs");
    } else if (target == QLatin1String("link")) {
        QVERIFY(QFile::link(dir.filePath("nowhere"), dir.filePath("b.txt")));
    } else {
        QVERIFY(QDir().mkdir(dir.filePath("b.txt")));
        expected = QStringList{"a.txt", "b.txt/"};
        if (target == QLatin1String("full")) {
            makeFile(dir.filePath("b.txt/inner"), "inner");
            expected.append("b.txt/inner");
        }
    }
    drop({dir.filePath("a.txt")});
    setMask(QStringLiteral("b"));
    rename();
    QCOMPARE(statusOf(dir.filePath("a.txt")), status);
    QCOMPARE(diskTree(dir.path()), expected);
    QCOMPARE(contentOf(dir.filePath("a.txt")), QByteArray("mine"));
    if (target == QLatin1String("file"))
        QCOMPARE(contentOf(dir.filePath("b.txt")), QByteArray("theirs"));
    if (target == QLatin1String("full"))
        QCOMPARE(contentOf(dir.filePath("b.txt/inner")), QByteArray("inner"));
    QCOMPARE(laspenden(), QStringLiteral("0 Dateien umbenannt (1 Dateien konnten nicht umbenannt "
                                         "werden)"));
    QCOMPARE(cell(0, 0), QStringLiteral("a"));
    QCOMPARE(cell(0, 4), dir.filePath("a.txt"));
}

void AcceptanceRename::sameNewNameTwice()
{
    AppFixture s(QStringLiteral("en"));
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "A");
    makeFile(dir.filePath("b.txt"), "B");
    drop({dir.filePath("a.txt"), dir.filePath("b.txt")});
    setMask(QStringLiteral("same"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"b.txt", "same.txt"}));
    QCOMPARE(contentOf(dir.filePath("same.txt")), QByteArray("A"));
    QCOMPARE(contentOf(dir.filePath("b.txt")), QByteArray("B"));
    QCOMPARE(statusOf(dir.filePath("same.txt")), QStringLiteral("Renamed"));
    QCOMPARE(statusOf(dir.filePath("b.txt")), QStringLiteral("File already exists"));
    QCOMPARE(laspenden(), QStringLiteral("1 files renamed (1 files could not be renamed)"));
}

void AcceptanceRename::swapRefused()
{
    AppFixture s;
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow()));
    QTemporaryDir dir;
    makeFile(dir.filePath("1.txt"), "one, the larger");
    makeFile(dir.filePath("2.txt"), "two");
    drop({dir.filePath("1.txt"), dir.filePath("2.txt")});
    // Sorted by size ascending: '2.txt' first, so the numbers would swap the two names.
    clickHeader(2);
    QCOMPARE(column(0), (QStringList{"2", "1"}));
    setMask(QStringLiteral("%num%"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"1.txt", "2.txt"}));
    QCOMPARE(contentOf(dir.filePath("1.txt")), QByteArray("one, the larger"));
    QCOMPARE(contentOf(dir.filePath("2.txt")), QByteArray("two"));
    QCOMPARE(column(3), (QStringList{"Datei existiert", "Datei existiert"}));
    mainWindow()->hide();
}

void AcceptanceRename::folderChildrenFollow()
{
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("pics/x.jpg"), "x");
    makeFile(dir.filePath("pics/deep/w.jpg"), "w");
    makeFile(dir.filePath("pics2/y.jpg"), "y");
    drop({dir.filePath("pics"), dir.filePath("pics2/y.jpg")});
    QCOMPARE(rowCount(), 4);
    selectRows({rowOfPath(dir.filePath("pics/x.jpg"))});
    setSearch(QStringLiteral("pics"), QStringLiteral("photos"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"photos/", "photos/deep/", "photos/deep/w.jpg",
                                                "photos/x.jpg", "pics2/", "pics2/y.jpg"}));
    const int folderRow = rowOfPath(dir.filePath("photos"));
    QVERIFY(folderRow >= 0);
    QCOMPARE(rowTexts(folderRow),
             (QStringList{"photos", "DIR", "", "Umbenannt", dir.filePath("photos")}));
    QVERIFY(rowOfPath(dir.filePath("photos/x.jpg")) >= 0);
    QVERIFY(rowOfPath(dir.filePath("photos/deep/w.jpg")) >= 0);
    QVERIFY(rowOfPath(dir.filePath("pics2/y.jpg")) >= 0);
    QCOMPARE(statusOf(dir.filePath("photos/x.jpg")), QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(laspenden(), QStringLiteral("1 Dateien umbenannt"));
    // The preview followed its entry into the renamed folder.
    QCOMPARE(ui<QLabel>("vor_orig")->toolTip(), dir.filePath("photos/x.jpg"));
    QVERIFY(mainWindow()->isEnabled());

    // A later run renames the children at their new place.
    setSearch(QStringLiteral("x"), QStringLiteral("z"));
    rename();
    QCOMPARE(statusOf(dir.filePath("photos/z.jpg")), QStringLiteral("Umbenannt"));
    QCOMPARE(contentOf(dir.filePath("photos/z.jpg")), QByteArray("x"));
    QCOMPARE(ui<QLabel>("vor_orig")->toolTip(), dir.filePath("photos/z.jpg"));
    QCOMPARE(previewOld(), QStringLiteral("z.jpg"));
}

void AcceptanceRename::numberingCountsSkippedAndFailed()
{
    AppFixture s;
    QTemporaryDir dir;
    QStringList paths;
    for (const char* f : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
        makeFile(dir.filePath(f), f);
        paths.append(dir.filePath(f));
    }
    drop(paths);
    makeFile(dir.filePath("1.txt"), "in the way");
    QVERIFY(QFile::remove(dir.filePath("b.txt")));
    setMask(QStringLiteral("%num%"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"1.txt", "3.txt", "4.txt", "5.txt", "a.txt"}));
    QCOMPARE(contentOf(dir.filePath("3.txt")), QByteArray("c.txt"));
    QCOMPARE(contentOf(dir.filePath("5.txt")), QByteArray("e.txt"));
    QCOMPARE(contentOf(dir.filePath("1.txt")), QByteArray("in the way"));
    QCOMPARE(statusOf(dir.filePath("a.txt")), QStringLiteral("Datei existiert"));
    // A missing source is skipped silently and keeps its status.
    QCOMPARE(statusOf(dir.filePath("b.txt")), QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(laspenden(),
             QStringLiteral("3 Dateien umbenannt (1 Dateien konnten nicht umbenannt werden)"));
    QVERIFY(ui<QTimer>("timerstopper")->isActive());
}

void AcceptanceRename::sortedListRenamedOnce()
{
    AppFixture s;
    QTemporaryDir dir;
    QStringList paths;
    for (const char* f : {"a.txt", "b.txt", "m.txt", "y.txt", "zz.txt"}) {
        makeFile(dir.filePath(f), f);
        paths.append(dir.filePath(f));
    }
    drop(paths);
    setMask(QStringLiteral("z%name%"));
    rename();
    QCOMPARE(diskTree(dir.path()),
             (QStringList{"za.txt", "zb.txt", "zm.txt", "zy.txt", "zzz.txt"}));
    QCOMPARE(contentOf(dir.filePath("za.txt")), QByteArray("a.txt"));
    QCOMPARE(contentOf(dir.filePath("zzz.txt")), QByteArray("zz.txt"));
    QCOMPARE(column(3), QStringList(5, QStringLiteral("Umbenannt")));
    QCOMPARE(laspenden(), QStringLiteral("5 Dateien umbenannt"));
    QCOMPARE(column(0), (QStringList{"za.txt", "zb.txt", "zm.txt", "zy.txt", "zzz.txt"}));
}

void AcceptanceRename::caseOnlyAndColumns()
{
    AppFixture s(QStringLiteral("en"));
    QTemporaryDir dir;
    makeFile(dir.filePath("abc.txt"), "abc");
    makeFile(dir.filePath("report.txt"), "report");
    makeFile(dir.filePath("noext"), "n");
    drop({dir.filePath("abc.txt"), dir.filePath("report.txt"), dir.filePath("noext")});
    setSearch(QStringLiteral("abc"), QStringLiteral("ABC"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"ABC.txt", "noext", "report.txt"}));
    QCOMPARE(rowTexts(rowOfPath(dir.filePath("ABC.txt"))),
             (QStringList{"ABC.txt", "TXT", "0.003 KB", "Renamed", dir.filePath("ABC.txt")}));

    ui<QCheckBox>("act_suchenersetzen")->click();
    setMask(QStringLiteral("%name%_%num%"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"ABC_1.txt", "noext_2", "report_3.txt"}));
    QCOMPARE(
        rowTexts(rowOfPath(dir.filePath("report_3.txt"))),
        (QStringList{"report_3.txt", "TXT", "0.006 KB", "Renamed", dir.filePath("report_3.txt")}));
    QCOMPARE(rowTexts(rowOfPath(dir.filePath("noext_2"))),
             (QStringList{"noext_2", "", "0.001 KB", "Renamed", dir.filePath("noext_2")}));
    QCOMPARE(laspenden(), QStringLiteral("3 files renamed"));
}

void AcceptanceRename::badNames_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("search");
    QTest::newRow("256-byte name") << QString(252, u'x') << QStringList{};
    QTest::newRow("slash pasted into the replacement") << QString() << QStringList{"a", "sub/a"};
    QTest::newRow("slash pasted into the mask") << "sub/%name%" << QStringList{};
    QTest::newRow("dot dot by search over both") << QString() << QStringList{"a.txt", ".."};
    QTest::newRow("empty by search over both") << QString() << QStringList{"a.txt", ""};
    QTest::newRow("dot by search over both") << QString() << QStringList{"a.txt", "."};
}

void AcceptanceRename::badNames()
{
    QFETCH(QString, mask);
    QFETCH(QStringList, search);
    AppFixture s(QStringLiteral("en"));
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"), "mine");
    QVERIFY(QDir().mkdir(dir.filePath("sub")));
    drop({dir.filePath("a.txt")});
    if (!mask.isEmpty())
        setMask(mask);
    if (!search.isEmpty())
        setSearch(search[0], search[1], true, search[0].contains(u'.'));
    rename();
    QCOMPARE(statusOf(dir.filePath("a.txt")), QStringLiteral("Error"));
    QCOMPARE(diskTree(dir.path()), (QStringList{"a.txt", "sub/"}));
    QCOMPARE(contentOf(dir.filePath("a.txt")), QByteArray("mine"));
    QCOMPARE(laspenden(), QStringLiteral("0 files renamed (1 files could not be renamed)"));
    QVERIFY(s.platform.warnings.isEmpty());
    QVERIFY(s.platform.errors.isEmpty());
}

void AcceptanceRename::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not hold for root");
    AppFixture s(QStringLiteral("en"));
    QTemporaryDir dir;
    makeFile(dir.filePath("ro/a.txt"), "mine");
    drop({dir.filePath("ro/a.txt")});
    QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    setMask(QStringLiteral("b"));
    rename();
    QFile::setPermissions(dir.filePath("ro"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(statusOf(dir.filePath("ro/a.txt")), QStringLiteral("Error"));
    QCOMPARE(diskTree(dir.path()), (QStringList{"ro/", "ro/a.txt"}));
}

void AcceptanceRename::labelTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("label");
    QTest::newRow("de with failures")
        << "de" << 2 << "12 Dateien umbenannt (2 Dateien konnten nicht umbenannt werden)";
    QTest::newRow("en with failures")
        << "en" << 2 << "12 files renamed (2 files could not be renamed)";
    QTest::newRow("en without failures") << "en" << 0 << "12 files renamed";
    QTest::newRow("de without failures") << "de" << 0 << "12 Dateien umbenannt";
}

void AcceptanceRename::labelTexts()
{
    QFETCH(QString, language);
    QFETCH(int, failing);
    QFETCH(QString, label);
    AppFixture s(language);
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 12; ++i)
        paths.append(dir.filePath(QStringLiteral("f%1.txt").arg(i, 2, 10, QChar(u'0'))));
    for (int i = 0; i < failing; ++i) {
        paths.append(dir.filePath(QStringLiteral("g%1.txt").arg(i)));
        makeFile(dir.filePath(QStringLiteral("ng%1.txt").arg(i)), "taken");
    }
    for (const QString& p : paths)
        makeFile(p, p.toUtf8());
    drop(paths);
    setMask(QStringLiteral("n%name%"));
    rename();
    QCOMPARE(laspenden(), label);
    QVERIFY(ui<QTimer>("timerstopper")->isActive());
    QVERIFY(mainWindow()->isEnabled());
    QCOMPARE(diskTree(dir.path()).size(), 12 + 2 * failing);
}

void AcceptanceRename::sortedAdditions_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("order"); // relative paths; "f" is the folder entry
    // The folder holds a.bmp (5 bytes), c.txt (1 byte), b.zip (2000 bytes) and is listed itself
    // through the open-folder button, which adds the folder entry outside any bulk addition.
    QTest::newRow("type ascending") << 1 << 1 << QStringList{"f/a.bmp", "f", "f/c.txt", "f/b.zip"};
    QTest::newRow("type descending") << 1 << 2 << QStringList{"f/b.zip", "f/c.txt", "f", "f/a.bmp"};
    QTest::newRow("size ascending") << 2 << 1 << QStringList{"f", "f/c.txt", "f/a.bmp", "f/b.zip"};
    QTest::newRow("size descending") << 2 << 2 << QStringList{"f/b.zip", "f/a.bmp", "f/c.txt", "f"};
    QTest::newRow("path ascending") << 4 << 1 << QStringList{"f", "f/a.bmp", "f/b.zip", "f/c.txt"};
    QTest::newRow("name descending") << 0 << 1 << QStringList{"f", "f/c.txt", "f/b.zip", "f/a.bmp"};
}

void AcceptanceRename::sortedAdditions()
{
    QFETCH(int, sortColumn);
    QFETCH(int, clicks);
    QFETCH(QStringList, order);
    AppFixture s;
    mainWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow()));
    QTemporaryDir dir;
    makeFile(dir.filePath("f/a.bmp"), "12345");
    makeFile(dir.filePath("f/c.txt"), "1");
    makeFile(dir.filePath("f/b.zip"), QByteArray(2000, 'z'));
    for (int i = 0; i < clicks; ++i)
        clickHeader(sortColumn);
    s.platform.pickFromDesktopAnswer = dir.filePath("f");
    ui<QPushButton>("OpenOrdner")->click();
    QStringList got = column(4);
    for (QString& p : got)
        p = QDir(dir.path()).relativeFilePath(p);
    QCOMPARE(got, order);
    mainWindow()->hide();
}

void AcceptanceRename::folderAndChildInOneRun_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("renamedChild");
    // 'pics' sorts before 'pics1' (folder first) and after 'apics' (child first).
    QTest::newRow("folder first") << "pics1.jpg"
                                  << "photos1.jpg";
    QTest::newRow("child first") << "apics.jpg"
                                 << "aphotos.jpg";
}

void AcceptanceRename::folderAndChildInOneRun()
{
    QFETCH(QString, child);
    QFETCH(QString, renamedChild);
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("pics/" + child), "child");
    drop({dir.filePath("pics")});
    QCOMPARE(rowCount(), 2);
    setSearch(QStringLiteral("pics"), QStringLiteral("photos"));
    rename();
    QCOMPARE(diskTree(dir.path()), (QStringList{"photos/", "photos/" + renamedChild}));
    QCOMPARE(contentOf(dir.filePath("photos/" + renamedChild)), QByteArray("child"));
    QStringList paths = column(4);
    paths.sort();
    QCOMPARE(paths, (QStringList{dir.filePath("photos"), dir.filePath("photos/" + renamedChild)}));
    QCOMPARE(column(3), (QStringList{"Umbenannt", "Umbenannt"}));
    QCOMPARE(laspenden(), QStringLiteral("2 Dateien umbenannt"));
}

void AcceptanceRename::trailingSlashFolder()
{
    AppFixture s;
    QTemporaryDir dir;
    makeFile(dir.filePath("f/a.txt"));
    makeFile(dir.filePath("f/s/b.txt"));
    const QString typed = dir.filePath("f") + u'/';
    loadWithEnter(typed);
    QStringList got = column(4);
    got.sort();
    QCOMPARE(got, (QStringList{dir.filePath("f/a.txt"), dir.filePath("f/s/b.txt")}));
    // Each successful addition writes the count of the list into the support label.
    QCOMPARE(laspenden(), "2" + kDe);
    QVERIFY(ui<QTimer>("timerstopper")->isActive());
    s.platform.pickAtAnswer = typed;
    ui<QPushButton>("OpenOrdner")->click();
    QCOMPARE(rowCount(), 3);
    // The folder is the entry "f", never a nameless entry that no run could rename.
    const int row = rowOfPath(dir.filePath("f"));
    QVERIFY(row >= 0);
    QCOMPARE(rowTexts(row), (QStringList{"f", "DIR", "", "Neu hinzugefügt", dir.filePath("f")}));
    setMask(QStringLiteral("x%name%"));
    rename();
    QVERIFY(QFileInfo(dir.filePath("xf/s/xb.txt")).isFile());
    got = column(4);
    got.sort();
    QCOMPARE(got, (QStringList{dir.filePath("xf"), dir.filePath("xf/s/xb.txt"),
                               dir.filePath("xf/xa.txt")}));
}

// Typed, dropped or copied, a file is one entry under its absolute, clean path.
void AcceptanceRename::relativeAndUncleanPaths()
{
    AppFixture s;
    const QString cwd = QDir::currentPath();
    makeFile(QStringLiteral("rel/a.txt"));
    loadWithEnter(QStringLiteral("rel"));
    QCOMPARE(column(4), QStringList{cwd + QStringLiteral("/rel/a.txt")});
    drop({cwd + QStringLiteral("/rel/./sub/../a.txt"), cwd + QStringLiteral("//rel/")});
    QCOMPARE(column(4),
             (QStringList{cwd + QStringLiteral("/rel/a.txt"), cwd + QStringLiteral("/rel")}));
    selectRows({0});
    ui<QAction>("pop3")->trigger();
    QCOMPARE(s.platform.clipboard, QList<QStringList>{{cwd + QStringLiteral("/rel/a.txt")}});
}

void AcceptanceRename::dropAnywhere_data()
{
    QTest::addColumn<QString>("target");
    for (const char* t : {"prog", "client", "qulist", "qulist viewport", "maske", "numstart",
                          "suchenalt", "laspenden", "vor_orig", "Panel1", "Umbenennen"})
        QTest::newRow(t) << t;
}

void AcceptanceRename::dropAnywhere()
{
    QFETCH(QString, target);
    AppFixture s;
    QWidget* w = nullptr;
    if (target == QLatin1String("prog"))
        w = mainWindow();
    else if (target == QLatin1String("qulist viewport"))
        w = listView()->viewport();
    else
        w = ui<QWidget>(target.toLatin1().constData());
    QTemporaryDir dir;
    makeFile(dir.filePath("a.txt"));
    drop({dir.filePath("a.txt")}, w);
    QCOMPARE(column(4), QStringList{dir.filePath("a.txt")});
    QCOMPARE(laAnzahl(), "1" + kDe);
}

QTEST_MAIN(AcceptanceRename)
#include "tst_acceptance_rename.moc"
