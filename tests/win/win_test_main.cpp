#include <gtest/gtest.h>

#include "win_test_support.h"

// A test that needs a process of its own (a fatal end, a switch-off) starts this same program again with
// "--child NAME"; the child runs the registered routine and exits with its result.
int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return testsupport::RunChild(argv[2], argc - 3, argv + 3);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
