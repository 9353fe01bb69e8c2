// A host that makes its Qt application only after an object was made on a second thread: from
// then on every call on that object is refused, so no window opens on a thread where it would
// never receive input. This program has its own main, since the application must not exist
// at first.
#include "ServerTesting.h"

#include <QApplication>

#include <future>
#include <thread>

using namespace velmarith::test;
using namespace Qt::StringLiterals;

TEST(LateApplication, anObjectMadeOnAnotherThreadBeforeTheApplicationRefusesEveryCallAfterIt)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    std::promise<void> made;
    std::promise<void> applicationMade;
    HRESULT beforeApplication = E_FAIL, put = S_OK, method = S_OK;
    std::thread host([&] {
        ComRef<IDispatch> search = createObject(CLSID_WinSearch);
        const Value caption = Value::text(u"查找"_s);
        beforeApplication = invoke(search.get(), property(0), DISPATCH_PROPERTYPUT, {&caption});
        made.set_value();
        applicationMade.get_future().wait();
        put = invoke(search.get(), property(0), DISPATCH_PROPERTYPUT, {&caption});
        method = invoke(search.get(), kMethod, DISPATCH_METHOD);
    });
    made.get_future().wait();
    int argc = 1;
    char name[] = "late_application";
    char *argv[] = {name, nullptr};
    QApplication application(argc, argv);
    applicationMade.set_value();
    host.join();
    EXPECT_EQ(beforeApplication, S_OK);
    EXPECT_EQ(put, RPC_E_WRONG_THREAD);
    EXPECT_EQ(method, RPC_E_WRONG_THREAD) << "no window that never takes a key, and the call returns";
}

// Qt takes the thread that makes its first object for its main thread and never frees that
// thread's data when it is a plain host thread that has ended; only this program makes one so.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt6Core.so.6\n";
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
