#include "app/filter/tquorvel_filter.h"
#include "filelist/filelistmodel.h"
#include "filelist/folderscan.h"
#include "filelist/sizetext.h"
#include "tests/appfixture.h"
#include "tests/deeptree.h"
#include "text/messagetexts.h"
#include "text/pathbytes.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using qv::ColPath;
using qv::ColSize;
using qv::ColType;

class AddingTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void folderLoad_data();
    void folderLoad();
    void duplicateMessageFollowsScanOrder();
    void symlinkLoopTerminates();
    void unreadableSubfolderSkipped();
    void nonUtf8NamesListed();
    void missingFolderChangesNothing();
    void firstEntryAddedToSelection();
    void scanReportsEachFolder();
    void pathsBeyondPathMax();
    void dropFilesAndFolder();
    void dropMarksTopRowsAsSorted_data();
    void dropMarksTopRowsAsSorted();
    void dropThroughQt();
    void dropOnFolderEdit();
    void dropDuplicatesAndOddItems();
    void dropWithFilesGatedOff();
    void enterInFolderEdit_data();
    void enterInFolderEdit();
    void openFolder_data();
    void openFolder();
    void cancelBringsNoRemovedEntryBack();
    void folderEditKeyFilter();
    void folderEditDoubleClickSelectsAll();
    void isValidFolderPath_data();
    void isValidFolderPath();
    void filterDialogEnabling();
    void filterKeyFilter();
    void filterDialogLayout();
    void filterDialogCentredOnActivation();
    void filterDialogModalKeepsChanges();
    void filterDialogLanguage();

private:
    // Creates empty files (and their folders) below the temporary folder; paths end in "/" for
    // folders.
    void makeTree(const QStringList& relative);
    QString path(const QString& relative) const { return m_dir->path() + u'/' + relative; }
    QStringList listedPaths() const;
    void setFilter(bool all, const QString& text, bool subfolders);
    static QString count(int n) { return qv::countText(n, qv::MessageTexts::english()); }

    AppFixture* m_app = nullptr;
    QTemporaryDir* m_dir = nullptr;
};

void AddingTest::init()
{
    m_app = new AppFixture(QStringLiteral("en"));
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void AddingTest::cleanup()
{
    delete m_dir;
    delete m_app;
}

void AddingTest::makeTree(const QStringList& relative)
{
    for (const QString& r : relative) {
        const QString full = path(r);
        if (r.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(full));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(full).path()));
        QFile file(full);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

QStringList AddingTest::listedPaths() const
{
    QStringList paths = column(ColPath);
    paths.sort();
    return paths;
}

void AddingTest::setFilter(bool all, const QString& text, bool subfolders)
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    (all ? dialog->alle : dialog->auswahl)->setChecked(true);
    dialog->filter->setText(text);
    dialog->uv->setChecked(subfolders);
}

void AddingTest::folderLoad_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<int>("messages");
    const QStringList pics{"pics/a.jpg", "pics/b.JPG", "pics/c.png", "pics/sub/d.jpg"};
    QTest::newRow("filter jpg with subfolders")
        << pics << "pics" << false << "jpg" << true
        << QStringList{"pics/a.jpg", "pics/b.JPG", "pics/sub/d.jpg"} << 0;
    QTest::newRow("subfolders off") << pics << "pics" << false << "jpg" << false
                                    << QStringList{"pics/a.jpg", "pics/b.JPG"} << 0;
    QTest::newRow("jpg,JPG: each found twice, one message")
        << pics << "pics" << false << "jpg,JPG" << true
        << QStringList{"pics/a.jpg", "pics/b.JPG", "pics/sub/d.jpg"} << 1;
    QTest::newRow("blank item skipped")
        << QStringList{"f/x.jpg", "f/y.bmp", "f/z.txt", "f/w.BMP"} << "f" << false << "jpg, ,bmp"
        << true << QStringList{"f/w.BMP", "f/x.jpg", "f/y.bmp"} << 0;
    QTest::newRow("no pattern adds nothing")
        << QStringList{"f/x.jpg"} << "f" << false << " , ," << true << QStringList{} << 0;
    QTest::newRow("all files ignore the filter text")
        << QStringList{"f/x.jpg", "f/README", "f/.hidden", "f/s/t.txt"} << "f" << true << "jpg"
        << true << QStringList{"f/.hidden", "f/README", "f/s/t.txt", "f/x.jpg"} << 0;
    QTest::newRow("folder path holding .txt is scanned")
        << QStringList{"backup.txt.d/notes.txt/a.txt", "backup.txt.d/b.jpg"} << "backup.txt.d"
        << true << "" << true << QStringList{"backup.txt.d/b.jpg", "backup.txt.d/notes.txt/a.txt"}
        << 0;
    QTest::newRow("folder given with separator")
        << QStringList{"f/x.jpg"} << "f/" << true << "" << true << QStringList{"f/x.jpg"} << 0;
    QTest::newRow("unusual names")
        << QStringList{"f/with space.jpg", "f/Größe.jpg", "f/-rf.jpg", "f/two\nlines.jpg"} << "f"
        << true << "" << true
        << QStringList{"f/-rf.jpg", "f/Größe.jpg", "f/two\nlines.jpg", "f/with space.jpg"} << 0;
}

void AddingTest::folderLoad()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, folder);
    QFETCH(bool, all);
    QFETCH(QString, filter);
    QFETCH(bool, subfolders);
    QFETCH(QStringList, listed);
    QFETCH(int, messages);
    makeTree(tree);
    setFilter(all, filter, subfolders);
    Tprog* prog = m_app->prog();
    const QString prefix = folder.endsWith(u'/') ? path(folder) : path(folder) + u'/';

    prog->AddOrdner(path(folder));

    QStringList expected;
    for (const QString& r : listed)
        expected << prefix + r.mid(r.indexOf(u'/') + 1);
    expected.sort();
    QCOMPARE(listedPaths(), expected);
    QCOMPARE(m_app->platform.warnings.size(), messages);
    QCOMPARE(prog->la_anzahl->text(), count(listed.size()));
    QVERIFY(prog->isEnabled());
    QVERIFY(!fileList()->inBulkUpdate());
    QVERIFY(prog->qulist->updatesEnabled());
    // The folder itself is no entry of a scan.
    QVERIFY(!column(ColType).contains(QStringLiteral("DIR")));
    // A folder load leaves the duplicate reports off.
    QVERIFY(!m_app->reportsNextDuplicate());
}

void AddingTest::duplicateMessageFollowsScanOrder()
{
    // Subfolders come first, then one pass per pattern: the first path found twice is the
    // subfolder's file in its second pass.
    makeTree({"pics/a.jpg", "pics/b.JPG", "pics/c.png", "pics/sub/d.jpg"});
    setFilter(false, QStringLiteral("jpg,JPG"), true);
    m_app->prog()->AddOrdner(path(QStringLiteral("pics")));
    QCOMPARE(m_app->platform.warnings,
             QStringList{QStringLiteral("This File has already been added to the File List:"
                                        "\r\n\r\n%1\r\n\r\n"
                                        "File can not be added more than one time to the List.")
                             .arg(path(QStringLiteral("pics/sub/d.jpg")))});
}

void AddingTest::symlinkLoopTerminates()
{
    makeTree({"f/a.txt", "f/sub/b.txt"});
    QVERIFY(QFile::link(path(QStringLiteral("f")), path(QStringLiteral("f/sub/up"))));
    QVERIFY(QFile::link(path(QStringLiteral("f/a.txt")), path(QStringLiteral("f/link.txt"))));
    setFilter(true, {}, true);
    m_app->prog()->AddOrdner(path(QStringLiteral("f")));
    QCOMPARE(listedPaths(),
             (QStringList{path("f/a.txt"), path("f/link.txt"), path("f/sub/b.txt")}));
    QVERIFY(m_app->platform.warnings.isEmpty());
}

void AddingTest::unreadableSubfolderSkipped()
{
    if (::geteuid() == 0)
        QSKIP("root reads every folder");
    makeTree({"f/a.txt", "f/locked/b.txt", "f/open/c.txt"});
    QVERIFY(::chmod(QFile::encodeName(path("f/locked")).constData(), 0) == 0);
    setFilter(true, {}, true);
    m_app->prog()->AddOrdner(path(QStringLiteral("f")));
    ::chmod(QFile::encodeName(path("f/locked")).constData(), 0755);
    QCOMPARE(listedPaths(), (QStringList{path("f/a.txt"), path("f/open/c.txt")}));
    QVERIFY(m_app->platform.warnings.isEmpty());
}

// A name on disk that is not UTF-8 is listed by its exact bytes, shown with U+FFFD, whether its
// folder is opened or the file dropped (file managers percent-encode its bytes in the URL).
void AddingTest::nonUtf8NamesListed()
{
    makeTree({"f/good.jpg", "g/"});
    const QByteArray scanned = QFile::encodeName(path("f/")) + "bad\xff\xfe.jpg";
    const QByteArray dropped = QFile::encodeName(path("g/")) + "caf\xe9.txt";
    for (const QByteArray& raw : {scanned, dropped}) {
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    const auto cleanUp = qScopeGuard([&] {
        ::unlink(scanned.constData());
        ::unlink(dropped.constData());
    });
    setFilter(true, {}, true);
    m_app->prog()->AddOrdner(path(QStringLiteral("f")));
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file://" + dropped.toPercentEncoding("/"))});
    QVERIFY(dropMime(&mime, m_app->prog()));

    const auto* list = qobject_cast<const qv::FileListModel*>(listModel());
    QVERIFY(list);
    QByteArrayList paths;
    for (int row = 0; row < list->count(); ++row)
        paths.append(qv::pathBytes(list->text(row, ColPath)));
    std::sort(paths.begin(), paths.end());
    QCOMPARE(paths, (QByteArrayList{scanned, QFile::encodeName(path("f/good.jpg")), dropped}));
    const QString unknown(QChar::ReplacementCharacter);
    QVERIFY(column(qv::ColName).contains(QStringLiteral("bad") + unknown + unknown));
    QVERIFY(column(qv::ColName).contains(QStringLiteral("caf") + unknown));
    QVERIFY(column(qv::ColPath).contains(path("g/caf") + unknown + QStringLiteral(".txt")));
}

void AddingTest::missingFolderChangesNothing()
{
    Tprog* prog = m_app->prog();
    const QString before = prog->la_anzahl->text();
    prog->AddOrdner(path(QStringLiteral("nowhere")));
    prog->AddOrdner(QString());
    QCOMPARE(rowCount(), 0);
    QCOMPARE(prog->la_anzahl->text(), before);
    QVERIFY(m_app->reportsNextDuplicate());
}

void AddingTest::firstEntryAddedToSelection()
{
    makeTree({"f/b.txt", "f/c.txt", "g/a.txt"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    prog->AddOrdner(path(QStringLiteral("f")));
    QCOMPARE(selectedRows(), QList<int>{0});
    // Select c.txt instead; a later load marks the new top row and keeps c.txt selected.
    selectRows({1});
    prog->AddOrdner(path(QStringLiteral("g")));
    QCOMPARE(cell(0, ColPath), path("g/a.txt"));
    QCOMPARE(selectedRows(), (QList<int>{0, 2}));
}

void AddingTest::scanReportsEachFolder()
{
    makeTree({"f/a.txt", "f/s/b.txt", "f/s/t/c.txt", "f/u/"});
    QStringList found;
    QStringList seen;
    qv::ScanFolder(found, path(QStringLiteral("f")), {QStringLiteral("*.*")}, true,
                   [&] { seen << QString::number(found.size()); });
    // After each folder, deepest first: t (1 file), s (2), u (2), f (3).
    QCOMPARE(seen, (QStringList{"1", "2", "2", "3"}));
}

// Files whose paths are longer than a path may be are listed with their sizes all the same.
void AddingTest::pathsBeyondPathMax()
{
    const QString root = path(QStringLiteral("long"));
    QVERIFY(QDir().mkdir(root));
    const QString folder(250, u'x');
    const int depth = 20;
    QVERIFY(deeptree::makeChain(root, depth, folder.toUtf8(), "f.txt"));
    setFilter(true, {}, true);
    m_app->prog()->AddOrdner(root);
    deeptree::removeBelow(root);

    QStringList listed;
    for (int row = 0; row < rowCount(); ++row)
        listed << cell(row, ColPath) + u'=' + cell(row, ColSize);
    listed.sort();
    QStringList expected;
    QString prefix = root + u'/';
    for (int level = 0; level <= depth; ++level) {
        expected << prefix + QStringLiteral("f.txt=") +
                        qv::SizeText(deeptree::content(level).size());
        prefix += folder + u'/';
    }
    expected.sort();
    QVERIFY(prefix.size() > 4096);
    QCOMPARE(listed, expected);
}

void AddingTest::dropFilesAndFolder()
{
    QStringList tree{"one.txt", "two.jpg", "three"};
    for (int i = 0; i < 10; ++i)
        tree << QStringLiteral("folder/pic%1.jpg").arg(i);
    tree << "folder/skip.png"
         << "empty/";
    makeTree(tree);
    setFilter(false, QStringLiteral("jpg"), true);
    Tprog* prog = m_app->prog();
    // Duplicate reports off, as a folder load leaves them.
    prog->AddOrdner(path("empty"));

    prog->dropFiles({path("one.txt"), path("two.jpg"), path("folder"), path("three")});

    QCOMPARE(rowCount(), 14);
    QCOMPARE(prog->laspenden->text(), count(4));
    QCOMPARE(prog->la_anzahl->text(), count(14));
    QVERIFY(prog->isEnabled());
    QVERIFY(prog->qulist->updatesEnabled());
    QVERIFY(prog->timerstopper->isActive());
    // The scan marked its top row, the drop marks the top row of the whole list as well.
    QVERIFY(selectedRows().contains(0));
    QVERIFY(listedPaths().contains(path("folder")));
    QVERIFY(listedPaths().contains(path("three")));
    QVERIFY(!listedPaths().contains(path("folder/skip.png")));
    // The end of the drop switched the reports on again.
    QVERIFY(m_app->reportsNextDuplicate());
}

void AddingTest::dropMarksTopRowsAsSorted_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("selected");
    // The scan of a dropped folder marks the top row of the list as it stands sorted then, not
    // the entry the drop happened to add first.
    QTest::newRow("scan top is also the drop top")
        << QStringList{"c.txt", "a.txt", "d/e.txt"} << QStringList{"c.txt", "a.txt", "d"}
        << QStringList{"a.txt"};
    QTest::newRow("scan top and drop top differ")
        << QStringList{"c.txt", "b/d.txt"} << QStringList{"c.txt", "b"}
        << QStringList{"b", "c.txt"};
    QTest::newRow("scan top among the folder's files")
        << QStringList{"z.txt", "m/a.txt"} << QStringList{"z.txt", "m"} << QStringList{"m/a.txt"};
}

void AddingTest::dropMarksTopRowsAsSorted()
{
    QFETCH(QStringList, tree);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, selected);
    makeTree(tree);
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    QStringList paths;
    for (const QString& item : std::as_const(dropped))
        paths << path(item);
    prog->dropFiles(paths);
    QStringList marked;
    for (const int row : selectedRows())
        marked << cell(row, ColPath);
    QStringList expected;
    for (const QString& item : std::as_const(selected))
        expected << path(item);
    QCOMPARE(marked, expected);
}

void AddingTest::dropThroughQt()
{
    makeTree({"a b.txt", "dir/c.txt"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("a b.txt")), QUrl(QStringLiteral("https://x.de/y")),
                  QUrl::fromLocalFile(path("dir"))});
    // Qt delivers a drop to the widget that accepted the drag's entry.
    QVERIFY(dropMime(&mime, prog));
    QCOMPARE(listedPaths(), (QStringList{path("a b.txt"), path("dir"), path("dir/c.txt")}));
    QCOMPARE(prog->laspenden->text(), count(2));
}

void AddingTest::dropOnFolderEdit()
{
    makeTree({"a.txt"});
    Tprog* prog = m_app->prog();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("a.txt"))});
    // File managers send the paths as plain text too, which an edit would take as typed text.
    mime.setText(path("a.txt"));
    QVERIFY(dropMime(&mime, prog->quordner));
    QCOMPARE(listedPaths(), QStringList{path("a.txt")});
    QCOMPARE(prog->quordner->text(), QString());
}

void AddingTest::dropDuplicatesAndOddItems()
{
    makeTree({"a.txt", "f/b.txt"});
    QVERIFY(::symlink(QFile::encodeName(path("gone.txt")).constData(),
                      QFile::encodeName(path("dangling")).constData()) == 0);
    QVERIFY(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0644) == 0);
    QVERIFY(QFile::link(path("f"), path("linked folder")));
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();

    prog->dropFiles({path("a.txt"), path("a.txt"), path("dangling"), path("fifo"), path("f"),
                     path("f"), path("linked folder")});

    // The first duplicate of the drop is reported, the folder scanned twice silently.
    QCOMPARE(m_app->platform.warnings.size(), 1);
    QVERIFY(m_app->platform.warnings[0].contains(path("a.txt")));
    QCOMPARE(listedPaths(), (QStringList{path("a.txt"), path("f"), path("f/b.txt"),
                                         path("linked folder"), path("linked folder/b.txt")}));
    QCOMPARE(prog->laspenden->text(), count(7));

    // The switch was cleared by the drop: the next drop reports again.
    prog->dropFiles({path("a.txt")});
    QCOMPARE(m_app->platform.warnings.size(), 2);
}

void AddingTest::dropWithFilesGatedOff()
{
    makeTree({"a.txt", "f/b.txt"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    prog->cb_dat->setChecked(false);
    prog->dropFiles({path("a.txt"), path("f")});
    QCOMPARE(listedPaths(), QStringList{path("f")});
    QVERIFY(m_app->platform.warnings.isEmpty());
    QCOMPARE(prog->la_anzahl->text(), count(1));
}

void AddingTest::enterInFolderEdit_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void AddingTest::enterInFolderEdit()
{
    QFETCH(int, key);
    makeTree({"f/a.txt", "f/s/b.txt"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();

    prog->quordner->setText(path("missing"));
    QTest::keyClick(prog->quordner, Qt::Key(key));
    QCOMPARE(m_app->platform.warnings, QStringList{qv::MessageTexts::english().txt_ordner_fehlt});
    QCOMPARE(rowCount(), 0);

    prog->quordner->setText(path("f"));
    QTest::keyClick(prog->quordner, Qt::Key(key));
    QCOMPARE(listedPaths(), (QStringList{path("f/a.txt"), path("f/s/b.txt")}));
    QCOMPARE(prog->la_anzahl->text(), count(2));
    QCOMPARE(prog->quordner->text(), path("f"));
    QCOMPARE(m_app->platform.pickAtCalls + m_app->platform.pickFromDesktopCalls, 0);
}

void AddingTest::openFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pickAt");
    QTest::addColumn<QString>("pickFromDesktop");
    QTest::addColumn<int>("atCalls");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("listed");
    const QStringList loaded{"f", "f/a.txt", "f/s/b.txt"};
    QTest::newRow("picked at the typed folder") << "@g"
                                                << "@f"
                                                << "" << 1 << "@f" << loaded;
    QTest::newRow("picked from the desktop") << ""
                                             << ""
                                             << "@f" << 0 << "@f" << loaded;
    QTest::newRow("cancel over the typed folder loads nothing") << "@f"
                                                                << ""
                                                                << "" << 1 << "@f" << QStringList{};
    QTest::newRow("cancel over a missing folder lists nothing")
        << "@nowhere"
        << ""
        << "" << 1 << "@nowhere" << QStringList{};
    QTest::newRow("picked folder that is gone") << "@g"
                                                << "@nowhere"
                                                << "" << 1 << "@nowhere" << QStringList{};
    QTest::newRow("cancel over a relative path restores it") << "f"
                                                             << ""
                                                             << "" << 0 << "f" << QStringList{};
    QTest::newRow("cancel over an empty edit") << ""
                                               << ""
                                               << "" << 0 << "" << QStringList{};
}

void AddingTest::openFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, pickAt);
    QFETCH(QString, pickFromDesktop);
    QFETCH(int, atCalls);
    QFETCH(QString, edit);
    QFETCH(QStringList, listed);
    // "@" stands for the temporary folder.
    const auto full = [this](QString s) { return s.replace(u'@', m_dir->path() + u'/'); };
    makeTree({"f/a.txt", "f/s/b.txt", "g/"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    prog->quordner->setText(full(typed));
    m_app->platform.pickAtAnswer = full(pickAt);
    m_app->platform.pickFromDesktopAnswer = full(pickFromDesktop);

    QTest::mouseClick(prog->OpenOrdner, Qt::LeftButton);

    QCOMPARE(m_app->platform.pickAtCalls, atCalls);
    QCOMPARE(m_app->platform.pickFromDesktopCalls, 1 - atCalls);
    QCOMPARE(m_app->platform.folderDialogTitles, QStringList{QStringLiteral("Open Directory..")});
    QCOMPARE(prog->quordner->text(), full(edit));
    QStringList expected;
    for (const QString& r : listed)
        expected << path(r);
    QCOMPARE(listedPaths(), expected);
    if (!listed.isEmpty())
        QCOMPARE(prog->la_anzahl->text(), count(listed.size()));
    QVERIFY(m_app->platform.warnings.isEmpty());
}

void AddingTest::cancelBringsNoRemovedEntryBack()
{
    makeTree({"f/a.txt", "f/s/b.txt"});
    setFilter(true, {}, true);
    Tprog* prog = m_app->prog();
    m_app->platform.pickFromDesktopAnswer = path("f");
    QTest::mouseClick(prog->OpenOrdner, Qt::LeftButton);
    fileList()->removeRowsAt({int(column(ColPath).indexOf(path("f")))});
    const QStringList kept{path("f/a.txt"), path("f/s/b.txt")};
    QCOMPARE(listedPaths(), kept);

    m_app->platform.pickAtAnswer.clear();
    QTest::mouseClick(prog->OpenOrdner, Qt::LeftButton);
    QCOMPARE(m_app->platform.pickAtCalls, 1);
    QCOMPARE(listedPaths(), kept);
    QCOMPARE(prog->quordner->text(), path("f"));
}

void AddingTest::folderEditKeyFilter()
{
    Tprog* prog = m_app->prog();
    QTest::keyClicks(prog->quordner, QStringLiteral("/tmp/a\"b*c<d>e?f|g h,i:j\\k"));
    // "/" separates the folders of a typed path here.
    QCOMPARE(prog->quordner->text(), QStringLiteral("/tmp/abcdefg h,i:j\\k"));
    QVERIFY(m_app->platform.warnings.isEmpty());
}

void AddingTest::folderEditDoubleClickSelectsAll()
{
    Tprog* prog = m_app->prog();
    prog->quordner->setText(QStringLiteral("/home/user/Bilder"));
    prog->quordner->setCursorPosition(3);
    QTest::mouseDClick(prog->quordner, Qt::LeftButton);
    QCOMPARE(prog->quordner->selectedText(), QStringLiteral("/home/user/Bilder"));
}

void AddingTest::isValidFolderPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("root") << "/" << true;
    QTest::newRow("absolute") << "/a/b" << true;
    QTest::newRow("absolute with separator") << "/a/b/" << true;
    QTest::newRow("umlauts and blanks") << "/home/jörg/Meine Bilder" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one character") << "a" << false;
    QTest::newRow("relative") << "a/b" << false;
    QTest::newRow("two separators at the end") << "/a//" << false;
    QTest::newRow("colon in the last piece") << "/a/b:c" << false;
    QTest::newRow("backslash in the last piece") << "/a/b\\c" << false;
    QTest::newRow("wildcard in the last piece") << "/a/*" << false;
    QTest::newRow("odd characters only between") << "/a?b/c" << true;
    QTest::newRow("drive path") << "C:\\a" << false;
}

void AddingTest::isValidFolderPath()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(qv::IsValidFolderPath(text), valid);
}

void AddingTest::filterDialogEnabling()
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    dialog->show();
    QVERIFY(dialog->alle->isChecked());
    QVERIFY(!dialog->filter->isEnabled());
    QCOMPARE(dialog->filter->text(), QStringLiteral("jpg,bmp,txt"));
    QTest::mouseClick(dialog->auswahl, Qt::LeftButton);
    QVERIFY(dialog->filter->isEnabled());
    dialog->filter->setText(QStringLiteral("png"));
    QTest::mouseClick(dialog->alle, Qt::LeftButton);
    QVERIFY(!dialog->filter->isEnabled());
    QCOMPARE(dialog->filter->text(), QStringLiteral("png"));
    // A configuration load checks the button without a click.
    dialog->auswahl->setChecked(true);
    QVERIFY(dialog->filter->isEnabled());
    dialog->hide();

    // With alle checked again a scan takes every file whatever the kept text says.
    makeTree({"f/a.txt", "f/b.png"});
    dialog->alle->setChecked(true);
    m_app->prog()->AddOrdner(path("f"));
    QCOMPARE(rowCount(), 2);
}

void AddingTest::filterKeyFilter()
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    dialog->auswahl->setChecked(true);
    dialog->filter->clear();
    QTest::keyClicks(dialog->filter, QStringLiteral("jp*g, b?m/p<>|\"x"));
    QCOMPARE(dialog->filter->text(), QStringLiteral("jpg, bmpx"));
}

void AddingTest::filterDialogLayout()
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    QCOMPARE(dialog->size(), QSize(341, 163));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Filter"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog->uv->geometry(), QRect(8, 113, 225, 17));
    QCOMPARE(dialog->filter->geometry(), QRect(24, 86, 309, 21));
    QCOMPARE(dialog->OK->geometry(), QRect(258, 134, 75, 25));
    QVERIFY(dialog->uv->isChecked());
    QList<QWidget*> chain{dialog->alle};
    for (QWidget* w = dialog->alle->nextInFocusChain(); chain.size() < 6;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
    }
    QCOMPARE(chain, (QList<QWidget*>{dialog->alle, dialog->auswahl, dialog->filter, dialog->OK,
                                     dialog->uv, dialog->alle}));
}

void AddingTest::filterDialogCentredOnActivation()
{
    Tprog* prog = m_app->prog();
    prog->setGeometry(200, 100, 701, 600);
    Tquorvel_filter* dialog = qv::quorvel_filter;
    dialog->move(0, 0);
    dialog->FormActivate();
    const QRect frame = prog->frameGeometry();
    QCOMPARE(dialog->pos(), QPoint(frame.left() + (prog->client()->width() - 341) / 2,
                                   frame.top() + (prog->client()->height() - 163) / 2));
    QVERIFY(dialog->pos().x() > 200 && dialog->pos().y() > 100);
}

void AddingTest::filterDialogModalKeepsChanges()
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    QWidget* modal = nullptr;
    bool uvBefore = dialog->uv->isChecked();
    QTimer::singleShot(0, dialog, [&] {
        modal = QApplication::activeModalWidget();
        dialog->uv->click();
        // The close box, not OK: there is no cancel.
        modal->close();
    });
    QTest::mouseClick(m_app->prog()->BitBtn1, Qt::LeftButton);
    QCOMPARE(modal, static_cast<QWidget*>(dialog));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->uv->isChecked(), !uvBefore);

    QTimer::singleShot(0, dialog, [&] { dialog->OK->click(); });
    m_app->prog()->BitBtn1Click();
    QVERIFY(!dialog->isVisible());
}

void AddingTest::filterDialogLanguage()
{
    Tquorvel_filter* dialog = qv::quorvel_filter;
    QCOMPARE(dialog->alle->text(), QStringLiteral("Search for all files (Use no filter)"));
    qv::setLanguageCode(QStringLiteral("de"));
    dialog->Sprache();
    QCOMPARE(dialog->Label1->text(), QStringLiteral("Nach welchen Dateien soll gesucht werden?"));
    QCOMPARE(dialog->alle->text(), QStringLiteral("Alle Dateien suchen (Keinen Filter verwenden)"));
    QCOMPARE(dialog->auswahl->text(), QStringLiteral("Nur nach folgenden Dateien suchen:"));
    QCOMPARE(dialog->uv->text(), QStringLiteral("Auch Unterverzeichnisse durchsuchen"));
    QCOMPARE(dialog->OK->text(), QStringLiteral("OK"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Filter"));
    qv::setLanguageCode(QStringLiteral("en"));
    dialog->Sprache();
    QCOMPARE(dialog->uv->text(), QStringLiteral("Search all Subfolders"));
}

QTEST_MAIN(AddingTest)
#include "tst_adding.moc"
