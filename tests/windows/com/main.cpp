// The tests run in a single-threaded apartment, as a form or a script host does.
#include <gtest/gtest.h>
#include <objbase.h>

#include "ocx.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: rawlet_com_test [gtest options] PATH\\Rawlet.ocx\n");
        return 2;
    }
    rawlet::test::Ocx::SetPath(std::wstring(argv[1], argv[1] + strlen(argv[1])));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
