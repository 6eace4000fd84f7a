#include "metadata/mediacache.h"
#include "metadata/mediavalues.h"
#include "text/pathbytes.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

constexpr unsigned allFields = 127;

QJsonDocument jsonOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QJsonDocument::fromJson(process.readAllStandardOutput());
}

// exiftool's "YYYY:MM:DD HH:MM:SS", read apart from the library's own reading.
WallTime exiftoolTime(const QString& text)
{
    return {QDate::fromString(text.left(10), QStringLiteral("yyyy:MM:dd")),
            QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"))};
}

void compareTime(const WallTime& actual, const WallTime& expected)
{
    QCOMPARE(actual.isValid(), expected.isValid());
    if (expected.isValid()) {
        QCOMPARE(actual.date, expected.date);
        QCOMPARE(actual.time, expected.time);
    }
}

QStringList filesIn(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::System, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

bool isPhoto(const QString& path)
{
    return path.endsWith(".jpg") || path.endsWith(".png") || path.endsWith(".tif");
}

} // namespace

class TestMetadata : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void photos_data();
    void photos();
    void songs_data();
    void songs();
    void hostileFiles_data();
    void hostileFiles();
    void statOnly();
    void rawByteName();
    void cache_data();
    void cache();
    void cacheFromTwoThreads();

private:
    QTemporaryDir m_dir;
    QString m_python;
    QJsonObject m_exiftool;
    QJsonObject m_mutagen;
    QStringList m_photos, m_songs;
};

void TestMetadata::initTestCase()
{
    // The system's Python holds the distribution's mutagen; one of the user's may not.
    for (const QString& candidate :
         {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        if (!candidate.isEmpty() && QProcess::execute(candidate, {"-c", "import mutagen"}) == 0) {
            m_python = candidate;
            break;
        }
    }
    if (m_python.isEmpty())
        QSKIP("no python3 with mutagen (apt-get install python3-mutagen) to write the files");
    QCOMPARE(QProcess::execute(m_python, {MEDIA_FILES, "make", m_dir.path()}), 0);
    for (const QString& path : filesIn(m_dir.path()))
        (isPhoto(path) ? m_photos : m_songs).append(path);
    QVERIFY(m_photos.size() >= 15 && m_songs.size() >= 12);

    const QString exiftool = QStandardPaths::findExecutable("exiftool");
    if (!exiftool.isEmpty()) {
        const QStringList tags = {"-EXIF:DateTimeOriginal", "-EXIF:CreateDate", "-EXIF:Model"};
        const QJsonDocument found =
            jsonOf(exiftool, QStringList{"-j", "-n", "-q", "-q"} + tags + m_photos);
        for (const QJsonValue& file : found.array())
            m_exiftool.insert(file["SourceFile"].toString(), file);
        QCOMPARE(m_exiftool.size(), m_photos.size());
    }
    m_mutagen = jsonOf(m_python, QStringList{MEDIA_FILES, "tags"} + m_songs).object();
    QCOMPARE(m_mutagen.size(), m_songs.size());
}

void TestMetadata::photos_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& path : m_photos)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestMetadata::photos()
{
    QFETCH(QString, path);
    if (m_exiftool.isEmpty())
        QSKIP("exiftool is not installed (apt-get install libimage-exiftool-perl)");
    const QJsonObject reference = m_exiftool[path].toObject();
    WallTime expected = exiftoolTime(reference["DateTimeOriginal"].toString());
    if (!expected.isValid())
        expected = exiftoolTime(reference["CreateDate"].toString());

    const MediaValues values = readMediaValues(path, allFields);
    QVERIFY(values.readable);
    compareTime(values.taken, expected);
    QCOMPARE(values.camera, reference["Model"].toString().trimmed());
    QVERIFY(values.artist.isEmpty() && values.title.isEmpty() && values.year == 0);
}

void TestMetadata::songs_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& path : m_songs)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestMetadata::songs()
{
    QFETCH(QString, path);
    const QJsonObject reference = m_mutagen[path].toObject();
    const QRegularExpression fourDigits(QStringLiteral("^\\d{4}(?!\\d)"));
    const MediaValues values = readMediaValues(path, allFields);
    QVERIFY(values.readable);
    QCOMPARE(values.artist, reference["artist"].toString().trimmed());
    QCOMPARE(values.album, reference["album"].toString().trimmed());
    QCOMPARE(values.title, reference["title"].toString().trimmed());
    QCOMPARE(values.track, reference["tracknumber"].toString().section('/', 0, 0).toInt());
    QCOMPARE(values.year, fourDigits.match(reference["date"].toString()).captured().toInt());
    QVERIFY(!values.taken.isValid() && values.camera.isEmpty());
}

void TestMetadata::hostileFiles_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& path : filesIn(m_dir.filePath("hostile")))
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

// Damaged files, a tag claiming hundreds of megabytes, EXIF that loops, and a FIFO: the test's
// time limit catches a read that hangs.
void TestMetadata::hostileFiles()
{
    QFETCH(QString, path);
    const MediaValues values = readMediaValues(path, allFields);
    QVERIFY(values.readable);
    QVERIFY(!values.taken.isValid());
    QVERIFY(values.camera.isEmpty() && values.artist.isEmpty() && values.album.isEmpty() &&
            values.title.isEmpty());
    QCOMPARE(values.track, 0);
    QCOMPARE(values.year, 0);
}

void TestMetadata::statOnly()
{
    const QString path = m_dir.filePath("mm-original.jpg");
    const MediaValues values = readMediaValues(path, 0);
    QVERIFY(values.readable);
    compareTime(values.modified, WallTime::of(QFileInfo(path).lastModified()));
    QVERIFY(!values.taken.isValid() && values.camera.isEmpty());
    QVERIFY(!readMediaValues(m_dir.filePath("gone.jpg"), allFields).readable);
}

// A name that is not UTF-8 reads as the same file under its UTF-8 name.
void TestMetadata::rawByteName()
{
    const QByteArray raw = QFile::encodeName(m_dir.path()) + "/caf\xe9.jpg";
    QCOMPARE(
        ::link(QFile::encodeName(m_dir.filePath("mm-original.jpg")).constData(), raw.constData()),
        0);
    const MediaValues values = readMediaValues(pathFromBytes(raw), MediaCamera);
    QCOMPARE(values.camera, readMediaValues(m_dir.filePath("mm-original.jpg"), MediaCamera).camera);
    QVERIFY(!values.camera.isEmpty());
    ::unlink(raw.constData());
}

void TestMetadata::cache_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("keepTime");
    QTest::addColumn<unsigned>("fields");
    // Which file's values the second call gives, date taken and camera.
    QTest::addColumn<QString>("takenOf");
    QTest::addColumn<QString>("cameraOf");

    QTest::newRow("same size and time") << "b.jpg" << true << unsigned(MediaDateTaken) << "a.jpg"
                                        << "";
    QTest::newRow("time changed") << "b.jpg" << false << unsigned(MediaDateTaken) << "b.jpg"
                                  << "";
    QTest::newRow("size changed") << "c.jpg" << true << unsigned(MediaDateTaken) << "c.jpg"
                                  << "";
    QTest::newRow("field asked later")
        << "b.jpg" << true << unsigned(MediaDateTaken | MediaCamera) << "a.jpg"
        << "b.jpg";
}

void TestMetadata::cache()
{
    QFETCH(QString, replacement);
    QFETCH(bool, keepTime);
    QFETCH(unsigned, fields);
    QFETCH(QString, takenOf);
    QFETCH(QString, cameraOf);
    const QDir folder(m_dir.filePath("cache"));
    const QString path = m_dir.filePath("cached.jpg");
    QFile::remove(path);
    QVERIFY(QFile::copy(folder.filePath("a.jpg"), path));
    MediaCache& cache = MediaCache::shared();
    cache.clear();
    cache.values(path, MediaDateTaken);

    struct stat before;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QFile source(folder.filePath(replacement));
    QVERIFY(source.open(QIODevice::ReadOnly));
    file.write(source.readAll());
    file.close();
    timespec times[2] = {before.st_atim, before.st_mtim};
    if (!keepTime)
        ++times[1].tv_sec;
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);

    const MediaValues values = cache.values(path, fields);
    compareTime(values.taken, readMediaValues(folder.filePath(takenOf), MediaDateTaken).taken);
    QCOMPARE(values.camera, cameraOf.isEmpty()
                                ? QString()
                                : readMediaValues(folder.filePath(cameraOf), MediaCamera).camera);
}

void TestMetadata::cacheFromTwoThreads()
{
    MediaCache& cache = MediaCache::shared();
    cache.clear();
    const QStringList files = m_photos + m_songs;
    const auto readAll = [&](unsigned fields, QStringList* wrong) {
        for (int round = 0; round < 20; ++round) {
            for (const QString& path : files) {
                const MediaValues cached = cache.values(path, fields);
                const MediaValues direct = readMediaValues(path, fields);
                // The cache may hold more fields than asked: the other thread asked them.
                const bool all = fields == allFields;
                if (cached.camera != direct.camera || cached.artist != direct.artist ||
                    (all &&
                     (cached.track != direct.track || cached.taken.date != direct.taken.date)))
                    wrong->append(path);
            }
        }
    };
    QStringList wrongOne, wrongTwo;
    std::thread one(readAll, allFields, &wrongOne);
    std::thread two(readAll, unsigned(MediaCamera | MediaArtist), &wrongTwo);
    one.join();
    two.join();
    QCOMPARE(wrongOne, QStringList());
    QCOMPARE(wrongTwo, QStringList());
}

QTEST_GUILESS_MAIN(TestMetadata)
#include "tst_metadata.moc"
