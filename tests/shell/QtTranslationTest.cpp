// Qt's own texts follow the catalogue's language, from the translations Qt ships.

#include "shell/QtTranslation.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

using shell::QtTranslation;

namespace {

class QtTranslationTest : public ::testing::Test {
  protected:
    void TearDown() override
    {
        // A translator leaves the application as it is deleted.
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator *>());
        QLocale::setDefault(QLocale::c());
    }
    static QString fileNameLabel() { return QCoreApplication::translate("QFileDialog", "File &name:"); }
};

} // namespace

TEST_F(QtTranslationTest, EachLanguageGetsItsOwnQtTexts)
{
    struct Case {
        const char *language, *locale, *label;
    };
    for (const Case c : {Case{"POR", "pt_BR", "&Nome do arquivo:"},
                         {"ESP", "es_ES", "&Nombre de fichero:"},
                         {"ING", "en_US", "File &name:"}}) {
        QString error;
        EXPECT_TRUE(QtTranslation::install(c.language, &error)) << c.language << ": " << error.toStdString();
        EXPECT_EQ(QLocale().name().toStdString(), c.locale);
        EXPECT_EQ(fileNameLabel().toStdString(), c.label) << c.language;
        TearDown();
    }
}

// Without Qt's translations the manager still starts; the file it missed is named.
TEST_F(QtTranslationTest, MissingTranslationIsNamed)
{
    QTemporaryDir empty;
    QString error;
    EXPECT_FALSE(QtTranslation::install("POR", &error, empty.path()));
    EXPECT_EQ(error, empty.path() + "/qtbase_pt_BR.qm");
    EXPECT_EQ(fileNameLabel(), "File &name:");
}
