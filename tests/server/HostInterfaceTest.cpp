// The entry points beyond the type library: an object's C++-only members and the scripted
// desktop's, refusing what they cannot take as a C host would meet it.
#include "ServerTesting.h"

#include <velmarith/server_testing.h>

#include <thread>

using namespace velmarith::test;

namespace {

TEST(HostInterface, anObjectsOwnMembersAreReadAndPutAndAnythingElseIsRefused)
{
    ComRef<IDispatch> search = createObject(CLSID_WinSearch);
    Value read;
    ASSERT_EQ(VelmarithGetMember(search.get(), "keywordMatch", &read.raw()), S_OK);
    EXPECT_EQ(read.raw().vt, VT_I4);
    EXPECT_EQ(read.raw().lVal, 0) << "like, the default";
    const Value pinyin = Value::i4(2);
    ASSERT_EQ(VelmarithPutMember(search.get(), "keywordMatch", &pinyin.raw()), S_OK);
    Value again;
    ASSERT_EQ(VelmarithGetMember(search.get(), "keywordMatch", &again.raw()), S_OK);
    EXPECT_EQ(again.raw().lVal, 2);
    Value failures;
    ASSERT_EQ(VelmarithGetMember(search.get(), "queryFailures", &failures.raw()), S_OK);
    ASSERT_EQ(failures.raw().vt, VT_DISPATCH);

    const Value outOfRange = Value::i4(9);
    EXPECT_EQ(VelmarithPutMember(search.get(), "keywordMatch", &outOfRange.raw()), E_INVALIDARG);
    EXPECT_EQ(VelmarithPutMember(search.get(), "queryFailures", &pinyin.raw()), DISP_E_MEMBERNOTFOUND) << "get only";
    Value other;
    EXPECT_EQ(VelmarithGetMember(search.get(), "inputAccepted", &other.raw()), DISP_E_MEMBERNOTFOUND) << "another class's";
    EXPECT_EQ(VelmarithGetMember(nullptr, "keywordMatch", &other.raw()), E_POINTER);

    ComRef<VelmarithCollection> collection;
    ASSERT_EQ(VelmarithCreateCollection(collection.receive()), S_OK);
    EXPECT_EQ(VelmarithGetMember(reinterpret_cast<IDispatch *>(collection.get()), "keywordMatch", &other.raw()), E_INVALIDARG)
        << "an object that is not one of the four classes";

    HRESULT elsewhere = S_OK;
    std::thread([&] {
        Value there;
        elsewhere = VelmarithGetMember(search.get(), "keywordMatch", &there.raw());
    }).join();
    EXPECT_EQ(elsewhere, RPC_E_WRONG_THREAD);
}

TEST(HostInterface, theScriptedDesktopsCallsNeedItInPlaceAndTakeOnlyWhatItKnows)
{
    EXPECT_EQ(VelmarithTestDesktopAnswer(0), E_UNEXPECTED);
    ASSERT_EQ(VelmarithTestDesktopInstall(), S_OK);
    EXPECT_EQ(VelmarithTestDesktopAnswer(3), E_INVALIDARG);
    EXPECT_EQ(VelmarithDriverAct(nullptr, "click", "cmd确定", nullptr, nullptr), E_POINTER);
    BSTR records = nullptr;
    ASSERT_EQ(VelmarithTestDesktopRecords(&records), S_OK);
    EXPECT_EQ(textOf(records), QStringLiteral(R"({"beeps":0,"messages":[],"modals":[]})"));
    SysFreeString(records);
    EXPECT_EQ(VelmarithTestDesktopAnswer(1), S_OK);
    EXPECT_EQ(VelmarithTestDesktopRemove(), E_FAIL) << "an answer never used is a problem";
}

} // namespace
