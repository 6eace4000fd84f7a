#include "app/platform.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <QWidget>

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kObjectPath = QStringLiteral("/org/freedesktop/FileManager1");

} // namespace

// A file manager of our own on the session bus. It lives in a thread of its own with its own bus
// connection, so the program's calls travel through the bus daemon as they would to a real one.
class FakeFileManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    struct Call
    {
        QString method;
        QStringList uris;
        QString startupId;
    };

    QList<Call> calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    void setRefusing(bool refusing)
    {
        QMutexLocker lock(&m_mutex);
        m_refusing = refusing;
    }
    void setDelayMs(int ms)
    {
        QMutexLocker lock(&m_mutex);
        m_delayMs = ms;
    }

public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString& startupId)
    {
        record(QStringLiteral("ShowItems"), uris, startupId);
    }
    Q_SCRIPTABLE void ShowItemProperties(const QStringList& uris, const QString& startupId)
    {
        record(QStringLiteral("ShowItemProperties"), uris, startupId);
    }

private:
    void record(const QString& method, const QStringList& uris, const QString& startupId)
    {
        int delay = 0;
        bool refusing = false;
        {
            QMutexLocker lock(&m_mutex);
            m_calls.append({method, uris, startupId});
            delay = m_delayMs;
            refusing = m_refusing;
        }
        QThread::msleep(delay);
        if (refusing)
            sendErrorReply(QDBusError::NotSupported, QStringLiteral("not here"));
    }

    mutable QMutex m_mutex;
    QList<Call> m_calls;
    bool m_refusing = false;
    int m_delayMs = 0;
};

// Receives what QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class FileManagerDbusTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void withoutFileManagerFallsBack();
    void showItemsReachesFileManager();
    void showItemPropertiesReachesFileManager();
    void refusingFileManagerFallsBack();
    void slowFileManagerDoesNotBlock();

private:
    void startService();
    void stopService();
    QList<QWidget*> infoDialogs() const;

    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_uri;
    UrlCatcher m_urls;
    QThread m_thread;
    FakeFileManager* m_fake = nullptr;
    bool m_registered = false;
};

void FileManagerDbusTest::initTestCase()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        QSKIP("no session bus: run the test inside dbus-run-session");
    if (bus.interface()->isServiceRegistered(kService))
        QSKIP("a real file manager owns the name on this bus");
    QVERIFY(m_dir.isValid());
    // A space and non-ASCII letters, which the URI must carry percent-encoded.
    m_file = m_dir.filePath(QStringLiteral("Grüße an alle.txt"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    m_uri = QUrl::fromLocalFile(m_file).toEncoded();
    QVERIFY(m_uri.contains("Gr%C3%BC%C3%9Fe%20an%20alle.txt"));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");

    m_fake = new FakeFileManager;
    m_fake->moveToThread(&m_thread);
    m_thread.start();
}

void FileManagerDbusTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    stopService();
    m_thread.quit();
    m_thread.wait();
    delete m_fake;
}

void FileManagerDbusTest::init()
{
    m_urls.opened.clear();
    if (m_fake) {
        m_fake->setRefusing(false);
        m_fake->setDelayMs(0);
    }
}

void FileManagerDbusTest::cleanup()
{
    for (QWidget* dialog : infoDialogs())
        delete dialog;
    stopService();
}

void FileManagerDbusTest::startService()
{
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakefm"));
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject(kObjectPath, m_fake, QDBusConnection::ExportScriptableSlots));
    QVERIFY(bus.registerService(kService));
    m_registered = true;
}

void FileManagerDbusTest::stopService()
{
    if (!m_registered)
        return;
    QDBusConnection bus(QStringLiteral("fakefm"));
    bus.unregisterService(kService);
    bus.unregisterObject(kObjectPath);
    m_registered = false;
}

QList<QWidget*> FileManagerDbusTest::infoDialogs() const
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("fileinfo") && w->isVisible())
            found.append(w);
    }
    return found;
}

void FileManagerDbusTest::withoutFileManagerFallsBack()
{
    if (QDBusConnection::sessionBus().interface()->activatableServiceNames().value().contains(
            kService))
        QSKIP("this bus can start a real file manager");
    qv::DesktopPlatform desktop;

    desktop.showItemInFolder(m_file);
    QTRY_COMPARE(m_urls.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});

    desktop.showItemProperties(nullptr, m_file);
    QTRY_COMPARE(infoDialogs().size(), 1);
    QStringList texts;
    for (const QLabel* label : infoDialogs().first()->findChildren<QLabel*>())
        texts.append(label->text());
    QVERIFY2(texts.contains(QStringLiteral("Grüße an alle.txt")), qPrintable(texts.join('|')));
    QVERIFY2(texts.contains(m_dir.path()), qPrintable(texts.join('|')));
}

void FileManagerDbusTest::showItemsReachesFileManager()
{
    startService();
    qv::DesktopPlatform().showItemInFolder(m_file);
    QTRY_COMPARE(m_fake->calls().size(), 1);
    const FakeFileManager::Call call = m_fake->calls().first();
    QCOMPARE(call.method, QStringLiteral("ShowItems"));
    QCOMPARE(call.uris, QStringList{QString::fromLatin1(m_uri)});
    QCOMPARE(call.startupId, QString());
    // Give the answer time to arrive: a file manager that answered gets no fallback.
    QTest::qWait(200);
    QVERIFY(m_urls.opened.isEmpty());
}

void FileManagerDbusTest::showItemPropertiesReachesFileManager()
{
    startService();
    const qsizetype before = m_fake->calls().size();
    qv::DesktopPlatform().showItemProperties(nullptr, m_file);
    QTRY_COMPARE(m_fake->calls().size(), before + 1);
    const FakeFileManager::Call call = m_fake->calls().last();
    QCOMPARE(call.method, QStringLiteral("ShowItemProperties"));
    QCOMPARE(call.uris, QStringList{QString::fromLatin1(m_uri)});
    QTest::qWait(200);
    QVERIFY(infoDialogs().isEmpty());
}

void FileManagerDbusTest::refusingFileManagerFallsBack()
{
    startService();
    m_fake->setRefusing(true);
    qv::DesktopPlatform desktop;
    desktop.showItemInFolder(m_file);
    QTRY_COMPARE(m_urls.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.path())});
    desktop.showItemProperties(nullptr, m_file);
    QTRY_COMPARE(infoDialogs().size(), 1);
}

void FileManagerDbusTest::slowFileManagerDoesNotBlock()
{
    startService();
    // The answer comes long after the call has returned, even on a busy machine.
    m_fake->setDelayMs(3000);
    const qsizetype before = m_fake->calls().size();
    QElapsedTimer timer;
    timer.start();
    qv::DesktopPlatform().showItemInFolder(m_file);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QTRY_COMPARE(m_fake->calls().size(), before + 1);
    // The late answer is still an answer.
    QTest::qWait(3500);
    QVERIFY(m_urls.opened.isEmpty());
}

QTEST_MAIN(FileManagerDbusTest)
#include "tst_filemanager_dbus.moc"
