// The About box's tests. The first argument (after GoogleTest's own) is the marker program
// that stands in for the system-information tool.
#include <cstdio>

#include <gtest/gtest.h>
#include <windows.h>

#include "test_files.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: rawlet_about_test [gtest options] PATH\\marker.exe\n");
        return 2;
    }
    char full[MAX_PATH] = {};
    GetFullPathNameA(argv[1], sizeof full, full, nullptr);
    rawlet::test::SetMarkerProgram(full);
    return RUN_ALL_TESTS();
}
