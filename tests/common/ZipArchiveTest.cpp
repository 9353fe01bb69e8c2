#include "common/ZipArchive.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

// Read back by Python's zipfile, as another program would: an empty entry, a small one and one
// of several deflate chunks written in pieces of odd sizes, each with its bytes and CRC.
TEST(ZipArchive, entriesOfAnySizeReadBackWhole)
{
    QByteArray big;
    for (int i = 0; big.size() < 300000; ++i)
        big += QByteArray::number(i * 7919 % 10007) + (i % 3 ? " 中文" : "\n");
    QTemporaryDir folder;
    const QString path = folder.filePath(u"parts.zip"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ZipArchive archive(file);
    archive.startEntry("empty");
    archive.startEntry("dir/small.txt");
    archive.write("abc");
    archive.startEntry("big.xml");
    for (qsizetype at = 0; at < big.size(); at += 40001)
        archive.write(QByteArrayView(big).sliced(at, std::min<qsizetype>(40001, big.size() - at)));
    ASSERT_TRUE(archive.finish());
    file.close();

    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import sys, zipfile, hashlib\n"
                                                   u"archive = zipfile.ZipFile(sys.argv[1])\n"
                                                   u"assert archive.testzip() is None\n"
                                                   u"for name in archive.namelist():\n"
                                                   u"    print(name, hashlib.sha1(archive.read(name)).hexdigest())"_s,
                                         path});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const auto sha1 = [](const QByteArray &bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex(); };
    EXPECT_EQ(python.readAllStandardOutput(), "empty " + sha1({}) + "\ndir/small.txt " + sha1("abc") + "\nbig.xml " + sha1(big) + "\n");
}

TEST(ZipArchive, aDeviceThatFailsIsReported)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    ZipArchive archive(readOnly);
    archive.startEntry("x");
    archive.write("y");
    EXPECT_FALSE(archive.finish());
}

} // namespace
