#include <gtest/gtest.h>

#include "frame/errors.h"

using namespace kro;

TEST(RuntimeErrors, Win32ErrorsMapToTheNumbersScriptsKnow) {
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_FILE_NOT_FOUND), 53);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_PATH_NOT_FOUND), 76);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_ACCESS_DENIED), 70);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_SHARING_VIOLATION), 70);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_ALREADY_EXISTS), 58);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_FILE_EXISTS), 58);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_DISK_FULL), 61);
    EXPECT_EQ(runtimeErrorFromWin32(ERROR_INVALID_NAME), 52);
}

TEST(RuntimeErrors, NumberTravelsInTheControlFacility) {
    EXPECT_EQ(errorHresult(13), static_cast<HRESULT>(0x800A000D));
    try {
        kro::raise(err::FileNotFound);
        FAIL();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.hr(), static_cast<HRESULT>(0x800A0035));
        EXPECT_EQ(e.description(), L"File not found");
        EXPECT_EQ(e.source(), L"kroProgramDll");
    }
    try {
        raiseWin32(ERROR_PATH_NOT_FOUND);
        FAIL();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 76);
    }
}
