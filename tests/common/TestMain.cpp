// The entry of every test program without windows.

#include "common/SkipAccounting.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return zekotest::runAllTests(argv[0]);
}
