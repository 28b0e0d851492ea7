#pragma once
// Widget tests need one QApplication for the whole test process.
#include <QApplication>

namespace tamsel::testing {

// The process's QApplication, made on first use (headless unless told
// otherwise), or nullptr when another kind of application object came first.
inline QApplication* WidgetApp()
{
    if (QCoreApplication::instance())
        return qobject_cast<QApplication*>(QCoreApplication::instance());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "tamsel_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // lives as long as the process
    return app;
}

}  // namespace tamsel::testing
