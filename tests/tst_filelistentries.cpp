#include "filelist/sizetext.h"
#include "tests/appfixture.h"

#include <QCheckBox>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using qv::ColName;
using qv::ColPath;
using qv::ColSize;
using qv::ColStatus;
using qv::ColType;

class FileListEntriesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fileEntry_data();
    void fileEntry();
    void folderEntry_data();
    void folderEntry();
    void unreadableSizeStillAdded();
    void duplicates_data();
    void duplicates();
    void oneMessagePerSwitchCycle();
    void gates_data();
    void gates();
    void firstAdditionCountsInSupportLabel();
    void sortedInPlaceWithAllColumns();

private:
    QString makeFile(const QString& name, qint64 size = 0);

    AppFixture* m_app = nullptr;
    QTemporaryDir* m_dir = nullptr;
};

void FileListEntriesTest::init()
{
    m_app = new AppFixture(QStringLiteral("en"));
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void FileListEntriesTest::cleanup()
{
    delete m_dir;
    delete m_app;
}

QString FileListEntriesTest::makeFile(const QString& name, qint64 size)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

void FileListEntriesTest::fileEntry_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("archive.tar.gz") << "archive.tar.gz" << qint64(1536) << "archive.tar"
                                    << "GZ"
                                    << "1.500 KB";
    QTest::newRow("README") << "README" << qint64(64) << "README"
                            << ""
                            << "0.063 KB";
    QTest::newRow(".profile") << ".profile" << qint64(0) << ""
                              << "PROFILE"
                              << "0.000 KB";
    QTest::newRow("photo.jpg.jpg") << "photo.jpg.jpg" << qint64(0) << "photo.jpg"
                                   << "JPG"
                                   << "0.000 KB";
    QTest::newRow("notes.") << "notes." << qint64(0) << "notes"
                            << ""
                            << "0.000 KB";
    QTest::newRow("spaces") << "my holiday pic.Jpeg" << qint64(0) << "my holiday pic"
                            << "JPEG"
                            << "0.000 KB";
    QTest::newRow("umlauts") << "Größe Übersicht.äöü" << qint64(0) << "Größe Übersicht"
                             << "ÄÖÜ"
                             << "0.000 KB";
    QTest::newRow("leading dash") << "-rf.txt" << qint64(0) << "-rf"
                                  << "TXT"
                                  << "0.000 KB";
    QTest::newRow("newline") << "two\nlines.txt" << qint64(0) << "two\nlines"
                             << "TXT"
                             << "0.000 KB";
    QTest::newRow("1 GiB") << "big.bin" << qint64(1073741824) << "big"
                           << "BIN"
                           << "1048576.000 KB";
}

void FileListEntriesTest::fileEntry()
{
    QFETCH(QString, fileName);
    QFETCH(qint64, size);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, sizeText);
    const QString path = makeFile(fileName, size);
    sizeText.replace(u'.', qv::decimalSeparator());

    m_app->prog()->add2list(path);

    QCOMPARE(rowCount(), 1);
    QCOMPARE(rowTexts(0), (QStringList{name, type, sizeText, "Added", path}));
}

void FileListEntriesTest::folderEntry_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("name");
    QTest::newRow("full stops kept") << "My.Folder"
                                     << "My.Folder";
    QTest::newRow("ending in a separator") << "My.Folder/"
                                           << "My.Folder";
    QTest::newRow("dot parts and doubled separators") << "./x/..//My.Folder"
                                                      << "My.Folder";
    QTest::newRow("not checked for existence") << "gone"
                                               << "gone";
}

void FileListEntriesTest::folderEntry()
{
    QFETCH(QString, relative);
    QFETCH(QString, name);
    QDir(m_dir->path()).mkdir(QStringLiteral("My.Folder"));
    const QString path = m_dir->path() + u'/' + relative;

    m_app->prog()->addfolderaselement2list(path);

    QCOMPARE(rowTexts(0), (QStringList{name, "DIR", "", "Added", QDir::cleanPath(path)}));
}

void FileListEntriesTest::unreadableSizeStillAdded()
{
    const QString path = m_dir->filePath(QStringLiteral("vanished.txt"));
    m_app->prog()->add2list(path);
    QCOMPARE(cell(0, ColSize),
             QStringLiteral("-0") + qv::decimalSeparator() + QStringLiteral("001 KB"));
    QVERIFY(m_app->platform.warnings.isEmpty());
}

void FileListEntriesTest::duplicates_data()
{
    QTest::addColumn<bool>("firstIsFolder");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("secondIsFolder");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("message");
    const QString fileMessage =
        QStringLiteral("This File has already been added to the File List:\r\n\r\n%1\r\n\r\n"
                       "File can not be added more than one time to the List.");
    const QString folderMessage =
        QStringLiteral("This Directory has already been added to the File List:\r\n\r\n%1\r\n\r\n"
                       "Directory can not be added more than one time to the List.");
    QTest::newRow("same file") << false << "a.jpg" << false << "a.jpg" << 1 << fileMessage;
    QTest::newRow("letter case differs") << false << "a.jpg" << false << "A.JPG" << 2 << "";
    QTest::newRow("same folder") << true << "Fotos" << true << "Fotos" << 1 << folderMessage;
    QTest::newRow("folder with and without separator")
        << true << "Fotos" << true << "Fotos/" << 1 << folderMessage;
    QTest::newRow("folder path of a file entry")
        << false << "a.jpg" << true << "a.jpg" << 1 << folderMessage;
    QTest::newRow("file path of a folder entry")
        << true << "Fotos" << false << "Fotos" << 1 << fileMessage;
}

void FileListEntriesTest::duplicates()
{
    QFETCH(bool, firstIsFolder);
    QFETCH(QString, first);
    QFETCH(bool, secondIsFolder);
    QFETCH(QString, second);
    QFETCH(int, entries);
    QFETCH(QString, message);
    makeFile(QStringLiteral("a.jpg"));
    makeFile(QStringLiteral("A.JPG"));
    Tprog* prog = m_app->prog();
    auto add = [&](bool folder, const QString& relative) {
        const QString path = m_dir->path() + u'/' + relative;
        folder ? prog->addfolderaselement2list(path) : prog->add2list(path);
    };
    add(firstIsFolder, first);
    add(secondIsFolder, second);

    QCOMPARE(rowCount(), entries);
    if (message.isEmpty())
        QVERIFY(m_app->platform.warnings.isEmpty());
    else
        QCOMPARE(m_app->platform.warnings,
                 QStringList{message.arg(QDir::cleanPath(m_dir->path() + u'/' + second))});
    // A reported duplicate switches the reports off.
    QCOMPARE(m_app->reportsNextDuplicate(), message.isEmpty());
}

void FileListEntriesTest::oneMessagePerSwitchCycle()
{
    Tprog* prog = m_app->prog();
    const QString a = makeFile(QStringLiteral("a.txt"));
    const QString b = makeFile(QStringLiteral("b.txt"));
    prog->add2list(a);
    prog->add2list(b);
    prog->add2list(a);
    prog->add2list(b);
    prog->addfolderaselement2list(a);
    QCOMPARE(m_app->platform.warnings.size(), 1);
    QVERIFY(m_app->platform.warnings[0].contains(a));

    // The end of a drop switches it off: the next duplicate is reported again.
    prog->dropFiles({});
    prog->add2list(b);
    QCOMPARE(m_app->platform.warnings.size(), 2);
    QVERIFY(m_app->platform.warnings[1].contains(b));
    QCOMPARE(rowCount(), 2);
}

void FileListEntriesTest::gates_data()
{
    QTest::addColumn<bool>("files");
    QTest::addColumn<bool>("folders");
    QTest::addColumn<QStringList>("types");
    QTest::newRow("both") << true << true << QStringList{"DIR", "TXT"};
    QTest::newRow("files only") << true << false << QStringList{"TXT"};
    QTest::newRow("folders only") << false << true << QStringList{"DIR"};
    QTest::newRow("neither") << false << false << QStringList{};
}

void FileListEntriesTest::gates()
{
    QFETCH(bool, files);
    QFETCH(bool, folders);
    QFETCH(QStringList, types);
    Tprog* prog = m_app->prog();
    prog->cb_dat->setChecked(files);
    prog->cb_dir->setChecked(folders);
    const QString supportBefore = prog->laspenden->text();
    const QString file = makeFile(QStringLiteral("x.txt"));

    prog->add2list(file);
    prog->addfolderaselement2list(m_dir->path());
    // A refused addition is refused before the duplicate test: no message either.
    prog->add2list(file);
    prog->addfolderaselement2list(m_dir->path());

    QStringList listed = column(ColType);
    listed.sort();
    QCOMPARE(listed, types);
    QCOMPARE(m_app->platform.warnings.size(), types.isEmpty() ? 0 : 1);
    if (types.isEmpty()) {
        QCOMPARE(prog->laspenden->text(), supportBefore);
        QVERIFY(!prog->timerstopper->isActive());
    }
}

void FileListEntriesTest::firstAdditionCountsInSupportLabel()
{
    Tprog* prog = m_app->prog();
    QVERIFY(!prog->timerstopper->isActive());
    prog->add2list(makeFile(QStringLiteral("first.jpg")));
    QCOMPARE(prog->laspenden->text(), QStringLiteral("1 Files/Folders loaded"));
    QVERIFY(prog->timerstopper->isActive());
    // The count label is written by the adding operations of folders and drops, not here.
    QCOMPARE(prog->la_anzahl->text(), QStringLiteral("0 Files/Folders loaded"));
}

void FileListEntriesTest::sortedInPlaceWithAllColumns()
{
    Tprog* prog = m_app->prog();
    // Sorted by the type column, an entry placed before its type is known would stay where it
    // was appended.
    fileList()->setSortOrder(ColType, false);
    for (const char* name : {"c.png", "a.gif", "b.bmp", "d.gif"})
        prog->add2list(makeFile(QLatin1String(name)));
    QCOMPARE(column(ColType), (QStringList{"BMP", "GIF", "GIF", "PNG"}));
    QCOMPARE(rowTexts(0), (QStringList{"b", "BMP", qv::SizeText(0), "Added",
                                       m_dir->filePath(QStringLiteral("b.bmp"))}));
}

QTEST_MAIN(FileListEntriesTest)
#include "tst_filelistentries.moc"
