// Test programs that drive real windows need an application object first.

#include "common/SkipAccounting.h"

#include <QApplication>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return zekotest::runAllTests(argv[0]);
}
