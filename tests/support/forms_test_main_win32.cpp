// Runs the window tests on Windows: the program's windows need nothing set up before them
// (Tahoma is one of the system's faces), so this is GoogleTest's own main, kept beside the
// Qt one for symmetry of the two builds.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
