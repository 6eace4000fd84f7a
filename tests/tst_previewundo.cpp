// The whole run before it happens, undone after, and the option that resolves chains, seen
// through the windows by objectName as a user meets them.

#include "cli/commandline.h"
#include "cli/headless.h"
#include "tests/appfixture.h"
#include "tests/disklayout.h"
#include "text/pathbytes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextStream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QWidget* previewWindow()
{
    return topLevel(QStringLiteral("vorschau_alle"));
}

QAbstractItemModel* planModel()
{
    return in<QTreeView>(QStringLiteral("vorschau_alle"), QStringLiteral("va_liste"))->model();
}

QStringList planRows()
{
    QStringList rows;
    QAbstractItemModel* m = planModel();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells.append(m->index(r, c).data().toString());
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QString summary()
{
    return in<QLabel>(QStringLiteral("vorschau_alle"), QStringLiteral("va_summe"))->text();
}

void setMask(const QString& mask)
{
    if (!ui<QCheckBox>(QStringLiteral("act_maske"))->isChecked())
        ui<QCheckBox>(QStringLiteral("act_maske"))->click();
    ui<QComboBox>(QStringLiteral("maske"))->setEditText(mask);
}

QAction* action(const char* name)
{
    return ui<QAction>(QLatin1String(name));
}

// A configuration file as text.
QString configText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll().mid(2);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

// The bytes of the names in the folder.
QByteArrayList rawNames(const QString& folder)
{
    QByteArrayList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* e = dir ? ::readdir(dir) : nullptr) {
        if (e->d_name[0] != '.')
            names.append(e->d_name);
    }
    if (dir)
        ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class PreviewUndoTest : public QObject
{
    Q_OBJECT
private slots:
    void previewOfAllEntries_data();
    void previewOfAllEntries();
    void undoLastRun();
    void undoAfterRestart();
    void journalCannotBeUsed_data();
    void journalCannotBeUsed();
    void chainsOption();
    void nameNotUtf8();
    void oneTallyEverywhere();
};

void PreviewUndoTest::previewOfAllEntries_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("de") << "de"
                        << QStringList{"a.txt|b.txt|/|Datei existiert", "b.txt|b.txt|/|Unverändert",
                                       "ca.txt|cb.txt|/|Wird umbenannt"}
                        << "1 wird umbenannt, 1 unverändert, 1 Konflikt"
                        << QStringList{"Alter Name", "Neuer Name", "Ordner", "Ergebnis"};
    QTest::newRow("en") << "en"
                        << QStringList{"a.txt|b.txt|/|File already exists",
                                       "b.txt|b.txt|/|Unchanged", "ca.txt|cb.txt|/|Will be renamed"}
                        << "1 will be renamed, 1 unchanged, 1 conflict"
                        << QStringList{"Old Name", "New Name", "Folder", "Outcome"};
}

// F5 opens the preview of every entry in list order, and it follows the settings.
void PreviewUndoTest::previewOfAllEntries()
{
    QFETCH(QString, language);
    QFETCH(QStringList, rows);
    QFETCH(QString, summary);
    QFETCH(QStringList, headers);
    AppFixture app(language);
    QTemporaryDir dir;
    for (const char* name : {"a.txt", "b.txt", "ca.txt"})
        makeFile(dir.filePath(QLatin1String(name)));
    drop({dir.filePath("a.txt"), dir.filePath("b.txt"), dir.filePath("ca.txt")});
    app.prog()->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.prog()));
    ui<QCheckBox>(QStringLiteral("act_suchenersetzen"))->click();
    ui<QLineEdit>(QStringLiteral("suchenalt"))->setText(QStringLiteral("a"));
    ui<QLineEdit>(QStringLiteral("suchenneu"))->setText(QStringLiteral("b"));

    QTest::keyClick(app.prog(), Qt::Key_F5);
    QTRY_VERIFY(previewWindow()->isVisible());
    QTRY_COMPARE(planModel()->rowCount(), 3);
    for (QString& row : rows)
        row.replace(QStringLiteral("|/|"), u'|' + dir.path() + QStringLiteral("/|"));
    QCOMPARE(planRows(), rows);
    QCOMPARE(::summary(), summary);
    for (int c = 0; c < 4; ++c)
        QCOMPARE(planModel()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    // Refused rows carry a warning icon; the others none.
    QVERIFY(!planModel()->index(0, 0).data(Qt::DecorationRole).isNull());
    QVERIFY(planModel()->index(1, 0).data(Qt::DecorationRole).isNull());

    in<QCheckBox>(QStringLiteral("vorschau_alle"), QStringLiteral("va_konflikte"))->click();
    QCOMPARE(planModel()->rowCount(), 1);

    // A changed setting is followed; nothing was renamed meanwhile.
    ui<QCheckBox>(QStringLiteral("act_suchenersetzen"))->click();
    QTRY_COMPARE(planModel()->rowCount(), 0);
    QVERIFY(::summary().startsWith(QStringLiteral("0 ")));
    QVERIFY(QFileInfo::exists(dir.filePath("a.txt")));

    QTest::keyClick(previewWindow(), Qt::Key_Escape);
    QVERIFY(!previewWindow()->isVisible());
}

// The last run is renamed back, the list follows, and the entry is disabled until the next run.
void PreviewUndoTest::undoLastRun()
{
    AppFixture app(QStringLiteral("en"));
    QTemporaryDir dir;
    createLayout(dir.path(), {"pics/", "pics/x.jpg", "a.txt", "b.txt"});
    drop({dir.filePath("pics"), dir.filePath("a.txt")});
    QVERIFY(!action("m_rueckgaengig")->isEnabled());
    const QStringList before = diskLayout(dir.path());
    const QStringList pathsBefore = column(4);
    const QStringList namesBefore = column(0);
    setMask(QStringLiteral("n_%name%"));
    ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    QVERIFY(diskLayout(dir.path()) != before);
    QVERIFY(action("m_rueckgaengig")->isEnabled());
    // Since the run another "b.txt" took a name that nobody asks back; the run's own names are
    // all free.
    action("m_rueckgaengig")->trigger();
    QCOMPARE(diskLayout(dir.path()), before);
    QCOMPARE(column(4), pathsBefore);
    QCOMPARE(column(0), namesBefore);
    QCOMPARE(column(3), QStringList(pathsBefore.size(), QStringLiteral("Restored")));
    QCOMPARE(ui<QLabel>(QStringLiteral("laspenden"))->text(), QStringLiteral("3 files restored"));
    QVERIFY(!action("m_rueckgaengig")->isEnabled());
}

// After a restart the journal still holds the run; a name taken since is left alone, and its
// step stays for another undo.
void PreviewUndoTest::undoAfterRestart()
{
    QTemporaryDir dir;
    createLayout(dir.path(), {"a", "b"});
    {
        AppFixture app(QStringLiteral("en"));
        drop({dir.filePath("a"), dir.filePath("b")});
        setMask(QStringLiteral("x%name%"));
        ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    }
    createLayout(dir.path(), {"a"});
    AppFixture app(AppStart{{QStringLiteral("en")}, false, true});
    QVERIFY(action("m_rueckgaengig")->isEnabled());
    action("m_rueckgaengig")->trigger();
    QCOMPARE(diskLayout(dir.path()), (QStringList{"a", "b", "xa=a"}));
    QCOMPARE(ui<QLabel>(QStringLiteral("laspenden"))->text(),
             QStringLiteral("1 files restored (1 files could not be restored)"));
    QVERIFY(action("m_rueckgaengig")->isEnabled());
}

void PreviewUndoTest::journalCannotBeUsed_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("not writable, rename without undo: No")
        << false << false << QStringList{"a", "b"};
    QTest::newRow("not writable, rename without undo: Yes")
        << false << true << QStringList{"xa=a", "xb=b"};
    QTest::newRow("another run holds it") << true << false << QStringList{"a", "b"};
}

// Where no run could be undone, the window asks once whether to rename all the same (No
// unless the user says Yes); while another run holds the journal, it only says so.
void PreviewUndoTest::journalCannotBeUsed()
{
    QFETCH(bool, busy);
    QFETCH(bool, answer);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    createLayout(dir.path(), {"a", "b"});
    AppFixture app(QStringLiteral("en"));
    const QString journal = qv::RenameJournal::defaultPath();
    const QString dataFolder = QFileInfo(journal).absolutePath();
    QDir(dataFolder).removeRecursively();
    const auto cleanUp = qScopeGuard([&] {
        QFile::remove(dataFolder);
        QDir(dataFolder).removeRecursively();
    });
    int lock = -1;
    if (busy) {
        QVERIFY(QDir().mkpath(dataFolder));
        lock = ::open(QFile::encodeName(journal + QStringLiteral(".lock")).constData(),
                      O_RDWR | O_CREAT, 0600);
        QCOMPARE(::flock(lock, LOCK_EX), 0);
    } else {
        // A file where the data folder belongs: nothing can be written there.
        QFile blocker(dataFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    app.platform.askAnswer = answer;
    drop({dir.filePath("a"), dir.filePath("b")});
    setMask(QStringLiteral("x%name%"));
    ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    QCOMPARE(diskLayout(dir.path()), after);
    QCOMPARE(app.platform.questions.size(), busy ? 0 : 1);
    QCOMPARE(app.platform.warnings.size(), busy ? 1 : 0);
    if (busy)
        ::close(lock);
    else
        QVERIFY(app.platform.questions.first().startsWith(
            QStringLiteral("The undo journal cannot be written (Not a directory)")));
    QVERIFY(!action("m_rueckgaengig")->isEnabled());
}

// The option lets a renumbering shift through, is stored only when set, and a file without it
// leaves it unset.
void PreviewUndoTest::chainsOption()
{
    AppFixture app;
    QTemporaryDir configs;
    QAction* chains = action("m_ketten");
    QVERIFY(chains->isCheckable() && !chains->isChecked());
    const QString plain = configs.filePath(QStringLiteral("plain.qvc"));
    app.prog()->KonfigurationSpeichern(nullptr, plain);
    QVERIFY(!configText(plain).contains(QStringLiteral("[KT]")));

    chains->trigger();
    const QString set = configs.filePath(QStringLiteral("set.qvc"));
    app.prog()->KonfigurationSpeichern(nullptr, set);
    QVERIFY(configText(set).contains(QStringLiteral("[KT]\r\nA=1\r\n")));
    app.prog()->KonfigurationLaden(nullptr, plain);
    QVERIFY(!chains->isChecked());
    app.prog()->KonfigurationLaden(nullptr, set);
    QVERIFY(chains->isChecked());

    // Sorted by path, Z to A: "3" and "1" trade names, "2" keeps its own.
    QTemporaryDir dir;
    createLayout(dir.path(), {"1", "2", "3"});
    drop({dir.filePath("1"), dir.filePath("2"), dir.filePath("3")});
    clickHeader(qv::ColPath);
    clickHeader(qv::ColPath);
    setMask(QStringLiteral("%num%"));
    ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    QCOMPARE(diskLayout(dir.path()), (QStringList{"1=3", "2", "3=1"}));
}

// A name that is not UTF-8 is formed from the text the list shows: the search finds U+FFFD there.
// The plan, the rename and undo work on the real bytes.
void PreviewUndoTest::nameNotUtf8()
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9.txt";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "x", 1), 1);
    ::close(fd);
    const auto cleanUp = qScopeGuard([&] { ::unlink(raw.constData()); });
    AppFixture app(QStringLiteral("en"));
    drop({dir.path()});
    app.prog()->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.prog()));
    ui<QCheckBox>(QStringLiteral("act_suchenersetzen"))->click();
    // The character as copied from the list.
    QApplication::clipboard()->setText(QString(QChar::ReplacementCharacter));
    QTest::keyClick(ui<QLineEdit>(QStringLiteral("suchenalt")), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(ui<QLineEdit>(QStringLiteral("suchenneu")), QStringLiteral("e"));
    QTest::keyClick(app.prog(), Qt::Key_F5);
    QTRY_VERIFY(previewWindow()->isVisible());
    QTRY_VERIFY(planRows().contains(
        QStringLiteral("caf\uFFFD.txt|cafe.txt|%1/|Will be renamed").arg(dir.path())));
    previewWindow()->close();

    ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    QCOMPARE(rawNames(dir.path()), QByteArrayList{"cafe.txt"});
    QVERIFY(column(0).contains(QStringLiteral("cafe.txt")));
    action("m_rueckgaengig")->trigger();
    QCOMPARE(rawNames(dir.path()), QByteArrayList{"caf\xe9.txt"});
    QVERIFY(column(0).contains(QStringLiteral("caf\uFFFD")));
}

// A folder where "x" becomes "yy": one file renamed, one unchanged, one whose new name is taken,
// one whose new name is too long for the system, and one gone before the run.
QStringList makeTallyScenario(const QString& folder)
{
    const QString tooLong = QString(130, u'x') + QStringLiteral(".txt");
    for (const QString& name :
         {QStringLiteral("x1.txt"), QStringLiteral("plain.txt"), QStringLiteral("x2.txt"),
          QStringLiteral("yy2.txt"), tooLong, QStringLiteral("x3.txt")})
        makeFile(folder + u'/' + name);
    return {folder + QStringLiteral("/x1.txt"), folder + QStringLiteral("/plain.txt"),
            folder + QStringLiteral("/x2.txt"), folder + u'/' + tooLong,
            folder + QStringLiteral("/x3.txt")};
}

// The window's label, the preview's summary and the command line count every outcome alike.
void PreviewUndoTest::oneTallyEverywhere()
{
    QTemporaryDir windowDir;
    QTemporaryDir lineDir;
    const QStringList windowPaths = makeTallyScenario(windowDir.path());
    const QStringList linePaths = makeTallyScenario(lineDir.path());
    AppFixture app(QStringLiteral("en"));
    drop(windowPaths);
    QVERIFY(QFile::remove(windowPaths.last()));
    QVERIFY(QFile::remove(linePaths.last()));
    app.prog()->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.prog()));
    ui<QCheckBox>(QStringLiteral("act_suchenersetzen"))->click();
    QTest::keyClicks(ui<QLineEdit>(QStringLiteral("suchenalt")), QStringLiteral("x"));
    QTest::keyClicks(ui<QLineEdit>(QStringLiteral("suchenneu")), QStringLiteral("yy"));
    QTest::keyClick(app.prog(), Qt::Key_F5);
    const QString planned =
        QStringLiteral("1 will be renamed, 1 unchanged, 2 conflicts, 1 missing");
    QTRY_COMPARE(::summary(), planned);
    previewWindow()->close();
    ui<QPushButton>(QStringLiteral("Umbenennen"))->click();
    const QString done = QStringLiteral("1 files renamed (2 files could not be renamed)");
    QCOMPARE(ui<QLabel>(QStringLiteral("laspenden"))->text(), done);

    const auto command = [&](const QStringList& extra, QString* printed) {
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        const int code =
            qv::runCommand(qv::parseCommandLine(QStringList{"rename", "--lang", "en", "--json",
                                                            "--search", "x", "--replace", "yy"} +
                                                extra + linePaths.first(4)),
                           out, err);
        out.flush();
        *printed = output.trimmed().split(u'\n').last();
        return code;
    };
    // The command line refuses a path that names nothing before it starts, so its list has no
    // missing entry; the four others count alike.
    QString dryRun;
    QCOMPARE(command({"--dry-run"}, &dryRun), 1);
    QVERIFY2(dryRun.contains(QStringLiteral("\"renamed\":1")) &&
                 dryRun.contains(QStringLiteral("\"refused\":2")) &&
                 dryRun.contains(QStringLiteral("\"unchanged\":1")),
             qPrintable(dryRun));
    QVERIFY2(dryRun.contains(QStringLiteral("1 will be renamed, 1 unchanged, 2 conflicts")),
             qPrintable(dryRun));
    QString run;
    QCOMPARE(command({}, &run), 1);
    QVERIFY2(run.contains(done), qPrintable(run));
}

QTEST_MAIN(PreviewUndoTest)
#include "tst_previewundo.moc"
