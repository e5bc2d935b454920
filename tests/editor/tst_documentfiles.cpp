#include "editor/documentfile.h"
#include "support/lockfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/fsuid.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <tuple>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray attribute(const QByteArray &path, const char *name)
{
    QByteArray value(256, '\0');
    const ssize_t size = ::getxattr(path.constData(), name, value.data(), value.size());
    return value.left(std::max<ssize_t>(size, 0));
}

// An access control list in the kernel's form: the owner may read and write, one more
// user and the group may read.
QByteArray aclWithReader(quint32 user)
{
    QByteArray acl;
    const auto add = [&acl](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            acl.append(char(value >> (8 * i) & 0xFF));
    };
    add(2, 4); // version
    const quint32 none = 0xFFFFFFFF;
    for (const auto &[tag, permissions, id] : {std::tuple{0x01u, 6u, none}, {0x02u, 4u, user},
                                                {0x04u, 4u, none}, {0x10u, 4u, none}, {0x20u, 0u, none}}) {
        add(tag, 2);
        add(permissions, 2);
        add(id, 4);
    }
    return acl;
}

} // namespace

class TestDocumentFiles : public QObject
{
    Q_OBJECT
private slots:
    void readFailuresNameTheFile();
    void writeReplacesAtomically();
    void failedWriteLeavesEverythingAsItWas();
    void onlyRegularFilesAreReadOrWritten();
    void savingKeepsWhatTheFileIs();
    void aFullOrReadOnlyDiskKeepsTheOldFileAndSaysSo();
    void aWritableFileInALockedFolderIsWrittenInPlace();
    void anotherUsersFileKeepsItsOwnerWhenWrittenByThisOne();
};

void TestDocumentFiles::readFailuresNameTheFile()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.rtf");
    Result<QByteArray> read = DocumentFile::read(missing);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().number, ErrorNumber::FileNotFound);
    QVERIFY(read.error().description.contains(missing));

    QCOMPARE(DocumentFile::read(QString()).error().number, ErrorNumber::FileNotFound);
    QCOMPARE(DocumentFile::read(dir.path()).error().number, ErrorNumber::FileAccess);
    QCOMPARE(DocumentFile::read(dir.filePath("no/such/folder.rtf")).ok(), false);
}

void TestDocumentFiles::writeReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc"); // no extension is added
    QVERIFY(DocumentFile::write(path, "first").ok());
    QVERIFY(DocumentFile::write(path, "second").ok());
    QCOMPARE(contents(path), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc"});
}

void TestDocumentFiles::failedWriteLeavesEverythingAsItWas()
{
    QTemporaryDir dir;
    // A folder where the file should go.
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    Status status = DocumentFile::write(dir.filePath("folder"), "x");
    QVERIFY(!status.ok());
    QVERIFY(status.error().description.contains("folder"));

    QCOMPARE(DocumentFile::write(QString(), "x").ok(), false);
    QCOMPARE(DocumentFile::write(dir.filePath("no/such/folder/x.rtf"), "x").error().number,
             ErrorNumber::PathNotFound);

}

void TestDocumentFiles::onlyRegularFilesAreReadOrWritten()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Neither waits for a writer nor becomes a regular file.
    QCOMPARE(DocumentFile::read(fifo).error().number, ErrorNumber::FileAccess);
    QVERIFY(DocumentFile::read(fifo).error().description.contains("FIFO"));
    QCOMPARE(DocumentFile::readStart(fifo, 5).error().number, ErrorNumber::FileAccess);
    QVERIFY(!DocumentFile::write(fifo, "x").ok());
    QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));

    // A device without end: refused before any of it is read.
    QVERIFY(DocumentFile::read("/dev/zero").error().description.contains("device"));

    // A file larger than the editing area holds is refused before it is read.
    const QString huge = dir.filePath("huge.txt");
    QFile sparse(huge);
    QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(DocumentFile::MaxReadSize + 1));
    sparse.close();
    QCOMPARE(DocumentFile::read(huge).error().number, ErrorNumber::OutOfMemory);
    // Its start can still be looked at, as the command line does to tell RTF from text.
    QCOMPARE(DocumentFile::readStart(huge, 5).value(), QByteArray(5, '\0'));

    const QString device = dir.filePath("null");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("making a device node needs root");
    QVERIFY(!DocumentFile::read(device).ok());
    QVERIFY(!DocumentFile::write(device, "x").ok());
    struct stat status;
    QVERIFY(::stat(QFile::encodeName(device).constData(), &status) == 0 && S_ISCHR(status.st_mode));
}

void TestDocumentFiles::savingKeepsWhatTheFileIs()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.rtf");
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(DocumentFile::write(path, "first").ok());

    // Hard links: every name sees the new contents.
    const QString other = dir.filePath("other name.rtf");
    QCOMPARE(::link(name.constData(), QFile::encodeName(other).constData()), 0);
    QVERIFY(DocumentFile::write(path, "second").ok());
    QCOMPARE(contents(other), QByteArray("second"));
    QVERIFY(DocumentFile::write(other, "third, longer than before").ok());
    QCOMPARE(contents(path), QByteArray("third, longer than before"));
    QVERIFY(QFile::remove(other));

    // A symbolic link keeps pointing at the file it pointed at.
    const QString link = dir.filePath("link.rtf");
    QVERIFY(QFile::link(path, link));
    QVERIFY(DocumentFile::write(link, "fourth").ok());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(contents(path), QByteArray("fourth"));

    // Mode, extended attributes and access control lists.
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    const bool attributes = ::setxattr(name.constData(), "user.brevon", "kept", 4, 0) == 0;
    const QByteArray acl = aclWithReader(65534);
    const bool acls = ::setxattr(name.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0) == 0;
    const bool root = ::geteuid() == 0;
    if (root)
        QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    QVERIFY(DocumentFile::write(path, "fifth").ok());
    QCOMPARE(contents(path), QByteArray("fifth"));
    struct stat status;
    QVERIFY(::stat(name.constData(), &status) == 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0640));
    if (attributes)
        QCOMPARE(attribute(name, "user.brevon"), QByteArray("kept"));
    if (acls)
        QCOMPARE(attribute(name, "system.posix_acl_access"), acl);
    if (!root)
        QSKIP("keeping another user's ownership needs root");
    QCOMPARE(status.st_uid, uid_t(65534));
    QCOMPARE(status.st_gid, gid_t(65534));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"doc.rtf", "link.rtf"}));
}

void TestDocumentFiles::aFullOrReadOnlyDiskKeepsTheOldFileAndSaysSo()
{
    QTemporaryDir dir;
    if (::geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
        QSKIP("mounting a small file system needs root");
    const auto unmount = qScopeGuard([&dir] { QProcess::execute("umount", {dir.path()}); });
    const QString path = dir.filePath("doc.txt");
    const QString linked = dir.filePath("linked.txt");
    QVERIFY(DocumentFile::write(path, "kept").ok());
    QVERIFY(DocumentFile::write(linked, "kept too").ok());
    QCOMPARE(::link(QFile::encodeName(linked).constData(), QFile::encodeName(dir.filePath("second")).constData()), 0);

    const QByteArray tooMuch(256 * 1024, 'x');
    for (const QString &file : {path, linked}) { // replaced, and written in place
        const Status status = DocumentFile::write(file, tooMuch);
        QVERIFY(!status.ok());
        QVERIFY2(status.error().description.contains("No space left on device"), qPrintable(status.error().description));
        QCOMPARE(status.error().number, ErrorNumber::DiskFull);
    }
    QCOMPARE(contents(path), QByteArray("kept"));
    QCOMPARE(contents(linked), QByteArray("kept too"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3);

    QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", dir.path()}), 0);
    for (const QString &file : {path, dir.filePath("new.txt")}) {
        const Status status = DocumentFile::write(file, "x");
        QVERIFY(!status.ok());
        QVERIFY2(status.error().description.contains("Read-only file system"), qPrintable(status.error().description));
    }
    QCOMPARE(contents(path), QByteArray("kept"));
}

void TestDocumentFiles::aWritableFileInALockedFolderIsWrittenInPlace()
{
    QTemporaryDir dir;
    const QString locked = dir.filePath("locked");
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    const QString existing = locked + "/kept.rtf";
    QVERIFY(DocumentFile::write(existing, "original").ok());
    if (!lockFolder(locked, true))
        QSKIP("cannot make a folder read-only here");
    const Status saved = DocumentFile::write(existing, "replacement");
    const Status made = DocumentFile::write(locked + "/new.rtf", "new");
    lockFolder(locked, false);
    QVERIFY(saved.ok());
    QCOMPARE(contents(existing), QByteArray("replacement"));
    // A new file cannot be made: the folder is named as the cause.
    QVERIFY(!made.ok());
    QVERIFY2(made.error().description.contains("folder \"" + locked + "\""), qPrintable(made.error().description));
    QCOMPARE(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.rtf"});
}

void TestDocumentFiles::anotherUsersFileKeepsItsOwnerWhenWrittenByThisOne()
{
    if (::geteuid() != 0)
        QSKIP("a second user needs root");
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.txt");
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(DocumentFile::write(path, "root's words").ok());
    // Root's file that the group may write, in a folder everyone may write.
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0 && ::chown(name.constData(), 0, 65534) == 0
            && ::chmod(name.constData(), 0664) == 0);
    // Only this thread's file access takes on the other user.
    ::setfsgid(65534);
    ::setfsuid(65534);
    const Status status = DocumentFile::write(path, "nobody's words");
    ::setfsuid(0);
    ::setfsgid(0);
    QVERIFY(status.ok());
    QCOMPARE(contents(path), QByteArray("nobody's words"));
    struct stat after;
    QVERIFY(::stat(name.constData(), &after) == 0);
    QCOMPARE(after.st_uid, uid_t(0));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shared.txt"});
}

QTEST_MAIN(TestDocumentFiles)
#include "tst_documentfiles.moc"
