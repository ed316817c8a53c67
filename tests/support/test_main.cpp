// Test entry: widgets need one QApplication for the whole run, and tests run
// without a display. The decimal separator comes from the system, as it does
// in the program, so the suite run under Russian settings sees what an
// operator sees; tests that need one separator set it with ScopedSeparator.
#include <QApplication>
#include <gtest/gtest.h>

#include "ui/regional.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    lekta::ui::apply_regional_settings();
    return RUN_ALL_TESTS();
}
