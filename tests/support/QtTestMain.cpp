// The main of the Qt test programs: the QApplication on the main thread, as
// Qt wants it, and GoogleTest on a thread of its own (GuiThread.h). When the
// tests are done, the application's loops end, nested ones too.

#include <gtest/gtest.h>

#include <QtCore/QMetaObject>
#include <QtWidgets/QApplication>
#include <thread>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    int result = 1;
    std::thread tests([&] {
        result = RUN_ALL_TESTS();
        QMetaObject::invokeMethod(
            &application, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QApplication::exec();
    tests.join();
    return result;
}
