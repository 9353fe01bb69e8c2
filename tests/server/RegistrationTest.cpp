// Registration in the user's registry file, creation by ProgID or CLSID through it, and
// unregistration that leaves other servers' entries alone.
#include "ServerTesting.h"


#include <velmarith/server.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmarith;
using namespace velmarith::test;
using namespace Qt::StringLiterals;

namespace {

const QString kInputClsid = u"{D410CD48-58FE-40D9-AC36-A08364DA4410}"_s;

class ServerRegistration : public ::testing::Test
{
protected:
    ServerRegistration() : mPrevious(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", mHome.path().toLocal8Bit()); }
    ~ServerRegistration() override { qputenv("XDG_DATA_HOME", mPrevious); }

    [[nodiscard]] QString registryFile() const { return mHome.path() + u"/velmarith/registry.json"_s; }
    void write(const QByteArray &content) const
    {
        QDir().mkpath(QFileInfo(registryFile()).path());
        QFile file(registryFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    [[nodiscard]] QByteArray content() const
    {
        QFile file(registryFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    [[nodiscard]] QJsonObject registry() const { return QJsonDocument::fromJson(content()).object(); }

    static HRESULT create(const char *name)
    {
        ComRef<IDispatch> object;
        const HRESULT status = VelmarithCreateInstance(name, &IID_IDispatch, reinterpret_cast<void **>(object.receive()));
        EXPECT_EQ(status == S_OK, object.get() != nullptr);
        return status;
    }

private:
    QTemporaryDir mHome;
    QByteArray mPrevious;
};

const QByteArray kOtherServer = R"({"CLSID": {"{00000000-0000-0000-0000-000000000001}": {"InprocServer32": "/opt/other.so"}},
 "ProgID": {"Other.Thing": {"CLSID": "{00000000-0000-0000-0000-000000000001}"}}})";

} // namespace

TEST_F(ServerRegistration, registersCreatesByNameAndUnregistersOnlyItsOwnEntries)
{
    write(kOtherServer);
    BSTR path = nullptr;
    ASSERT_EQ(VelmarithGetRegistryPath(&path), S_OK);
    EXPECT_EQ(textOf(path), registryFile());
    SysFreeString(path);
    EXPECT_EQ(create("Velmarith.WinInput"), REGDB_E_CLASSNOTREG);

    ASSERT_EQ(DllRegisterServer(), S_OK);
    const QJsonObject classes = registry()[u"CLSID"_s].toObject();
    EXPECT_EQ(classes.size(), 5);
    const QJsonObject input = classes[kInputClsid].toObject();
    EXPECT_EQ(QFileInfo(input[u"InprocServer32"_s].toString()).canonicalFilePath(),
              QFileInfo(QStringLiteral(VELMARITH_LIBRARY)).canonicalFilePath());
    EXPECT_TRUE(QDir::isAbsolutePath(input[u"InprocServer32"_s].toString()));
    EXPECT_EQ(input[u"ThreadingModel"_s].toString(), u"Apartment");
    EXPECT_EQ(input[u"ProgID"_s].toString(), u"Velmarith.WinInput");
    EXPECT_EQ(input[u"TypeLib"_s].toString(), u"{2E2BE76F-7A65-4062-9005-DC42269B785E}");
    EXPECT_EQ(input[u"Version"_s].toString(), u"1.0");
    EXPECT_EQ(registry()[u"ProgID"_s][u"Velmarith.WinSearch"_s][u"CLSID"_s].toString(), u"{86C5B602-81C2-468A-B9CB-E0887512FE33}");
    EXPECT_EQ(registry()[u"TypeLib"_s][u"{2E2BE76F-7A65-4062-9005-DC42269B785E}"_s][u"1.0"_s][u"name"_s].toString(), u"Velmarith");
    EXPECT_EQ(QDir(QFileInfo(registryFile()).path()).entryList(QDir::Files), QStringList{u"registry.json"_s})
        << "no temporary or lock file is left behind";

    ASSERT_EQ(DllRegisterServer(), S_OK) << "registering again changes nothing";
    EXPECT_EQ(registry()[u"CLSID"_s].toObject().size(), 5);

    EXPECT_EQ(create("Velmarith.WinInput"), S_OK);
    EXPECT_EQ(create("velmarith.winmagnge"), S_OK) << "ProgIDs in any letter case";
    EXPECT_EQ(create("{d410cd48-58fe-40d9-ac36-a08364da4410}"), S_OK);
    EXPECT_EQ(create("Velmarith.NoSuchClass"), REGDB_E_CLASSNOTREG);

    ASSERT_EQ(DllUnregisterServer(), S_OK);
    EXPECT_EQ(registry(), QJsonDocument::fromJson(kOtherServer).object());
    EXPECT_EQ(create("Velmarith.WinInput"), REGDB_E_CLASSNOTREG);
}

TEST_F(ServerRegistration, aRegistryItCannotReadIsLeftAsItWasAndSaysWhy)
{
    write("{\"CLSID\": {");
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_CLASS);
    EXPECT_EQ(DllUnregisterServer(), SELFREG_E_CLASS);
    EXPECT_EQ(content(), "{\"CLSID\": {");
    Exception why;
    ASSERT_EQ(VelmarithGetLastException(&why), S_OK);
    EXPECT_TRUE(textOf(why.bstrDescription).contains(registryFile()));

    write(R"({"CLSID": {")" + kInputClsid.toUtf8() + R"(": {"InprocServer32": "/nonexistent/libVelmarith.so"}}})");
    EXPECT_EQ(create(kInputClsid.toUtf8().constData()), CO_E_DLLNOTFOUND);

    // A FIFO in the file's place is refused at once, not waited on for ever.
    ASSERT_TRUE(QFile::remove(registryFile()));
    ASSERT_EQ(mkfifo(QFile::encodeName(registryFile()).constData(), 0600), 0);
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_CLASS);
    Exception notAFile;
    ASSERT_EQ(VelmarithGetLastException(&notAFile), S_OK);
    EXPECT_TRUE(textOf(notAFile.bstrDescription).startsWith(u"注册表文件不是普通文件"_s))
        << textOf(notAFile.bstrDescription).toStdString();
    EXPECT_EQ(create(kInputClsid.toUtf8().constData()), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(QFileInfo(registryFile()).isFile()) << "left as it was";
}

TEST_F(ServerRegistration, aFolderThatCannotBeWrittenIsSaidSoNotCalledBusy)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    const QString folder = QFileInfo(registryFile()).path();
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_CLASS);
    Exception why;
    ASSERT_EQ(VelmarithGetLastException(&why), S_OK);
    EXPECT_TRUE(textOf(why.bstrDescription).startsWith(u"注册表目录不能写入"_s))
        << textOf(why.bstrDescription).toStdString();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
