// The GUI tests run headless in one application object, the program's own, so that the
// exception handling of the event loop is the one under test.
#include "gui/Application.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Anything that reaches for the standard locations gets test copies, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    ut::gui::Application app(argc, argv);
    return RUN_ALL_TESTS();
}
