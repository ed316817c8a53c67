// Test entry: widgets need one QApplication for the whole run, and tests run
// without a display.
#include <QApplication>
#include <gtest/gtest.h>

#include "testfile/number_text.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    lekta::number_format().decimal_separator = ",";
    return RUN_ALL_TESTS();
}
