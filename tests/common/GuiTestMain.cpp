// Test programs that drive real windows need an application object first.

#include "common/SkipAccounting.h"
#include "shell/help/ChmFile.h"
#include "shell/registry/Database.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    // Registries and menu entries the programs under test make go here, never
    // into the home of whoever runs the tests; the programs they start inherit it.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A lock a test holds on purpose is refused at once, not after two seconds.
    shell::registry::Database::setBusyTimeout(50);
    // Help files are read by the reader built into the install folder.
    shell::help::ChmFile::setReader({QStringLiteral(ZEKO_APP_DIR "/zeko-help-reader")});
    return zekotest::runAllTests(argv[0]);
}
