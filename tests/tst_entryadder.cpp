#include "filelist/entryadder.h"
#include "filelist/filelistmodel.h"
#include "filelist/sizetext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace qv;

class TestEntryAdder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void adding_data();
    void adding();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestEntryAdder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("sub/My.Folder")));
    const struct
    {
        const char* name;
        int size;
    } files[] = {{"archive.tar.gz", 1536}, {"sub/.profile", 64}, {"sub/README", 0}};
    for (const auto& file : files) {
        QFile f(path(QLatin1String(file.name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(file.size, 'x'));
    }
}

void TestEntryAdder::adding_data()
{
    QTest::addColumn<bool>("files");
    QTest::addColumn<bool>("folders");
    // Each entry's five texts, "name|type|size|status|relative path", in list order.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("duplicates");

    const QString gz = "archive.tar|GZ|" + SizeText(1536) + "|Added|archive.tar.gz";
    const QString profile = "|PROFILE|" + SizeText(64) + "|Added|sub/.profile";
    const QString readme = "README||" + SizeText(0) + "|Added|sub/README";
    const QString gone = "gone|TXT|" + SizeText(-1) + "|Added|gone.txt";
    const QString folder = "My.Folder|DIR||Added|sub/My.Folder";
    QTest::newRow("both gates open")
        << true << true << QStringList{profile, gz, gone, folder, readme}
        << QStringList{"archive.tar.gz", "archive.tar.gz", "sub/My.Folder"};
    QTest::newRow("files shut out")
        << false << true << QStringList{folder} << QStringList{"sub/My.Folder"};
    QTest::newRow("folders shut out") << true << false << QStringList{profile, gz, gone, readme}
                                      << QStringList{"archive.tar.gz", "archive.tar.gz"};
}

void TestEntryAdder::adding()
{
    QFETCH(bool, files);
    QFETCH(bool, folders);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, duplicates);

    FileListModel list;
    EntryAdder adder(list, {QStringLiteral("Added"), files, folders});
    QList<int> counts;
    QStringList refused;
    adder.setAddedHandler([&](int count) { counts.append(count); });
    adder.setDuplicateHandler([&](const QString& path, bool folder) {
        QCOMPARE(folder, path.endsWith(QLatin1String("Folder")));
        refused.append(QDir(m_dir->path()).relativeFilePath(path));
    });

    // The scan lists archive.tar.gz twice (two patterns) and a file that vanished meanwhile.
    QList<ScannedFile> scanned;
    ScanFolder(scanned, m_dir->path(), {QStringLiteral(".gz"), QStringLiteral("*.*")}, true);
    scanned.append({path(QStringLiteral("vanished.txt")), -1});
    int added = adder.addScanned(scanned).added;
    // A file given by path is added even when its size cannot be read.
    added += adder.addFiles({path(QStringLiteral("archive.tar.gz")), path("gone.txt")}).added;
    const AddResult last =
        adder.addFolders({path(QStringLiteral("sub/My.Folder")), path("sub/My.Folder")});
    added += last.added;
    if (folders)
        QCOMPARE(last.duplicates, QStringList{path(QStringLiteral("sub/My.Folder"))});

    QStringList listed;
    for (int row = 0; row < list.count(); ++row) {
        QStringList texts;
        for (int column = ColName; column <= ColPath; ++column)
            texts.append(list.text(row, column));
        texts.last() = QDir(m_dir->path()).relativeFilePath(texts.last());
        listed.append(texts.join(u'|'));
    }
    QCOMPARE(listed, entries);
    QCOMPARE(refused, duplicates);
    QCOMPARE(added, int(entries.size()));
    QCOMPARE(counts.size(), added);
    QCOMPARE(counts.isEmpty() ? 0 : counts.last(), list.count());
}

QTEST_APPLESS_MAIN(TestEntryAdder)
#include "tst_entryadder.moc"
