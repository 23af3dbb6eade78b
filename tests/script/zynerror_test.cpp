#include "script/zynerror.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "script/errtext.h"

namespace {

struct Expected {
    int code;
    const char* text;
};

// Every code with the exact text its module reports, written out in full.
constexpr Expected kTexts[] = {
    {-1, "ERROR_COMMON_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-2, "ERROR_COMMON_BAD_STRING_ARGS: Invalid string arguments passed to: {MakeString}"},
    {-101, "ERROR_VAR_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-102, "ERROR_VAR_NO_FREE_SLOT: An attempt was made to create more VARs than the arry will hold (increase VAR_DEFAULT_MAX_NUM)."},
    {-103, "ERROR_VAR_NOT_FOUND: Couldn't find the specified VAR"},
    {-104, "ERROR_VAR_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-105, "ERROR_VAR_REPLACE: Couldn't find the VAR."},
    {-106, "ERROR_VAR_MAX_WORK_LENGTH: The string which was being stored into the VAR was longer than VAR_MAX_WORK_LENGTH."},
    {-107, "ERROR_VAR_NOT_INITIALIZED: A call was made to the VAR routines without first calling {VAR_Init}."},
    {-201, "ERROR_ZYNLOG_BUFFER_TOO_SMALL: "},
    {-202, "ERROR_ZYNLOG_NO_FILE_SET: "},
    {-203, "ERROR_ZYNLOG_FILENAME_TOO_LONG: "},
    {-204, "ERROR_ZYNLOG_FILE_OPEN: "},
    {-205, "ERROR_ZYNLOG_INIT: "},
    {-206, "ERROR_ZYNLOG_MEMORY_ALLOCATE: "},
    {-207, "ERROR_ZYNLOG_SUB_KEY_NOT_FOUND: "},
    {-208, "ERROR_ZYNLOG_SET_VALUE: "},
    {-209, "ERROR_ZYNLOG_VALUE_NOT_FOUND: "},
    {-210, "ERROR_ZYNLOG_INPUT_FILE_SIZE: "},
    {-211, "ERROR_ZYNLOG_INPUT_FILE_DATA: "},
    {-212, "ERROR_ZYNLOG_FILE_READ: "},
    {-213, "ERROR_ZYNLOG_KEY_NOT_OPEN: "},
    {-214, "ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST: "},
    {-301, "ERROR_LOGCOMN_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-302, "ERROR_LOGCOMN_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-303, "ERROR_LOGCOMN_DEMO_KEY_NOT_SET: The demo key was inquired for before it was set."},
    {-304, "ERROR_LOGCOMN_PREV_DEMO_INFO: Couldn't find information about the previously installed demo."},
    {-401, "ERROR_LOGINST_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-402, "ERROR_LOGINST_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-501, "ERROR_INF_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-502, "ERROR_INF_RESOURCE_NOT_FOUND: INF resource not found."},
    {-503, "ERROR_INF_BUFFER_TOO_SMALL: Supplied buffer is too small."},
    {-504, "ERROR_INF_NO_SECTION_SPECIFIED: No section was specified in the INF."},
    {-505, "ERROR_INF_SECTION_NOT_FOUND: Couldn't find section in INF file."},
    {-506, "ERROR_INF_TOO_FEW_TOKENS_FOUND: A line in the INF file did not contain enough tokens."},
    {-507, "ERROR_INF_TOO_MANY_TOKENS_FOUND: A line in the INF file contained more tokens than necessary."},
    {-601, "ERROR_PLIST_INIT: {PLIST_Init} was called twice without an intervening {PLIST_Terminate}"},
    {-602, "ERROR_PLIST_NOT_FOUND: The specified PLIST object was not found."},
    {-603, "ERROR_PLIST_MEMORY_ALLOCATE: Memory allocation failed."},
    {-604, "ERROR_PLIST_BUFFER_TOO_SMALL: The buffer supplied was too small."},
    {-605, "ERROR_PLIST_EXCLUSIVE: A function returned that the demo is EXCLUSIVE."},
    {-606, "ERROR_PLIST_UNKNOWN_ACTION: An unknown action was requested of one of the PLIST Objects"},
    {-701, "ERROR_LOGINI_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-702, "ERROR_LOGINI_WRITE: Couldn't write to INI file."},
    {-703, "ERROR_LOGINI_UNHANDLED_INF_COMMAND: The command token for a line from the INF file was not recognized."},
    {-801, "ERROR_LOGFILES_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-900, "ERROR_LOG_LAUNCH: Failed to launch specified file."},
    {-1001, "ERROR_SYS_FILE_OPEN: File open failed"},
    {-1002, "ERROR_SYS_FILE_SEEK: File seek failed"},
    {-1003, "ERROR_SYS_FILE_READ: File read failed"},
    {-1004, "ERROR_SYS_FILE_WRITE: File write failed"},
    {-1005, "ERROR_SYS_ATTRIBUTES: Setting attributed failed"},
    {-1006, "ERROR_SYS_FILE_NOT_FOUND: File not found"},
    {-1007, "ERROR_SYS_FILE_DELETE: Couldn't delete file"},
    {-1008, "ERROR_SYS_FILE_RENAME: Couldn't rename file"},
    {-1009, "ERROR_SYS_DIRECTORY_DELETE: Couldn't delete directory"},
    {-1010, "ERROR_SYS_GET_CURRENT_DIRECTORY: Couldn't determine current directory"},
    {-1011, "ERROR_SYS_DIRECTORY_MAKE: Couldn't create directory"},
    {-1012, "ERROR_SYS_DRIVE_INVALID: Specified drive is invalid"},
    {-1013, "ERROR_SYS_CHANGE_LENGTH: Couldn't change file's length"},
    {-1014, "ERROR_SYS_RESOURCE_NOT_FOUND: Resource not found"},
    {-1015, "ERROR_SYS_BUFFER_TOO_SMALL: Supplied buffer too small"},
    {-1016, "ERROR_SYS_FILE_FLUSH: Couldn't flush file"},
    {-1017, "ERROR_SYS_FILE_LENGTH: Couldn't determine file size"},
    {-1018, "ERROR_SYS_FILE_GET_TIME: Couldn't get current time"},
    {-1019, "ERROR_SYS_FILE_SET_TIME: Couldn't set current time"},
    {-1020, "ERROR_SYS_GET_FREE_SPACE: Couldn't get free drive space"},
    {-1101, "ERROR_ZYNDISK_SET_DRIVE: Failed to change drive"},
    {-1102, "ERROR_ZYNDISK_CREATE_DIR: Failed to create directory."},
    {-1103, "ERROR_ZYNDISK_RENAME: Rename of file failed"},
    {-1104, "ERROR_ZYNDISK_NO_DISKSPACE: Insufficient Diskspace"},
    {-1105, "ERROR_ZYNDISK_MEMORY_ALLOCATE: Memory allocation"},
    {-1106, "ERROR_ZYNDISK_COPY_READ: Failure during file read"},
    {-1107, "ERROR_ZYNDISK_COPY_WRITE: Failure during file write"},
    {-1108, "ERROR_ZYNDISK_FILE_NOT_FOUND: File not found"},
    {-1109, "ERROR_ZYNDISK_COPY_OPEN_DEST: Failure opening copy destination"},
    {-1110, "ERROR_ZYNDISK_COPY_OPEN_SOURCE: Failure opeing copy source"},
    {-1111, "ERROR_ZYNDISK_CALC_SIZE: Couldn't calculate file size"},
    {-1112, "ERROR_ZYNDISK_DELETE_DIRECTORY: Couldn't delete directory"},
    {-1113, "ERROR_ZYNDISK_DELETE_FILE: Couldn't delete file"},
    {-1114, "ERROR_ZYNDISK_RECURSION_DEPTH: Recursion depth too great"},
    {-1115, "ERROR_ZYNDISK_UNIMPLEMENTED: The called routine is not currently implemented"},
    {-1117, "ERROR_ZYNDISK_UNWISE_DELETE: An attempt was made to recursively delete the contents of a prohibitted directory."},
    {-1201, "ERROR_STRLIST_INIT: Two calls to {STRLIST_Init} were made without an intervening call to {STRLIST_Terminate}."},
    {-1202, "ERROR_STRLIST_NOT_FOUND: The specified list item was not found."},
    {-1203, "ERROR_STRLIST_MEMORY_ALLOCATE: Failed to allocate memory."},
    {-1204, "ERROR_STRLIST_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-1301, "ERROR_LOGMOD_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-1302, "ERROR_LOGMOD_UNKNOWN_COMMAND: The action token for a line in the INF file was not recognized."},
    {-1401, "ERROR_INSTALL_NEVER_STARTED: The install process was never started."},
    {-1501, "ERROR_DDE_CREATE: Couldn't create ProcInstance."},
    {-1502, "ERROR_DDE_INITIALIZE: Initialization of DDE routines failed."},
    {-1503, "ERROR_DDE_PROGRAM_MANAGER: Couldn't form connection to Program Manager."},
    {-1601, "ERROR_VAREVAL_UNKNOWN_OPERATOR: A specified operator was not recognized by the parsing routines."},
    {-1602, "ERROR_VAREVAL_TERMINATOR_TOO_EARLY: The end of the string to be evaluated came before all of the parentheses or operands were specified."},
    {-1603, "ERROR_VAREVAL_MISPLACE_EXPRESSION: An operator was found where none was expected."},
    {-1604, "ERROR_VAREVAL_MISMATCHED_PARENTHESES: Parentheses did not match up."},
    {-1605, "ERROR_VAREVAL_MEMORY_ALLOCATE: Could not allocate memory."},
    {-1606, "ERROR_VAREVAL_UNKNOWN_COPY_TYPE: Programming error in {LocalCopyValue} of VAREVAL.C."},
    {-1607, "ERROR_VAREVAL_MAX_TOO_SMALL: An expression was bigger than VAREVAL_MAX_EXPRESSION."},
    {-1608, "ERROR_VAREVAL_BAD_OPERAND: An operand was used with an incompatible operator (e.g., ANDing a string)."},
    {-1609, "ERROR_MISMATCHED_LEFT_AND_RIGHT: The left and right hand side of an expression being evaluated were NOT of the same type."},
    {-1701, "ERROR_EVENT_BUFFER_TOO_SMAL: Supplied buffer was too small."},
    {-1702, "ERROR_EVENT_NO_MORE_TOKENS: More tokens were expected but none were found."},
    {-1703, "ERROR_EVENT_NO_STRING_SET: No string was found."},
    {-1704, "ERROR_EVENT_NO_HANDLER_FOUND: No handler was found for the specified event."},
    {-1801, "ERROR_LOGREG_MEMORY_ALLOCATE: Memory allocate"},
    {-1802, "ERROR_LOGREG_BUFFER_TOO_SMALL: Supplied buffer too small"},
    {-1803, "ERROR_LOGREG_UNKNOWN_BASE_KEY: Unknown Base key"},
    {-1804, "ERROR_LOGREG_KEY_DOESNT_EXIT: Key doesn't exist"},
    {-1805, "ERROR_LOGREG_QUERY_KEY: Query key failed"},
    {-1806, "ERROR_LOGREG_ENUM_KEY: Enum key failed"},
    {-1807, "ERROR_LOGREG_OPEN_KEY: Open key failed"},
    {-1808, "ERROR_LOGREG_CREATE_KEY: Create key failed"},
    {-1809, "ERROR_LOGREG_CLOSE_KEY: Close key failed"},
    {-1810, "ERROR_LOGREG_DELETE_KEY: Delete key failed"},
    {-1811, "ERROR_LOGREG_COULDNT_FIND_UNIQUE_KEY: Couldn't find unique key"},
    {-1812, "ERROR_LOGREG_ENUM_VALUE: Enum value failed"},
    {-1813, "ERROR_LOGREG_READ_VALUE: Read value failed"},
    {-1814, "ERROR_LOGREG_WRITE_VALUE: Write value failed"},
    {-1815, "ERROR_LOGREG_DELETE_VALUE: Delete value failed"},
    {-1816, "ERROR_LOGREG_COULDNT_FIND_UNIQUE_VALUE: Couldn't find unique value"},
    {-1817, "ERROR_LOGREG_UNKNOWN_OPERATION: Unknown operation requested"},
    {-1818, "ERROR_LOGREG_UNKNOWN_TYPE: Unknown data type"},
    {-1819, "ERROR_LOGREG_NOT_FROM_16BIT: Not implemented in 16-bit code"},
    {-1820, "ERROR_LOGREG_NEXT_DEMO_ID_FOUND: Next Demo ID found"},
    {-1901, "ERROR_LOGUNINS_UNSUCCESSFUL: Uninstall was not successful."},
    {-1902, "ERROR_LOGUNINS_INFO_NOT_FOUND: Information about this uninstall was not found. Perhaps the INI file was deleted."},
    {-1903, "ERROR_LOGUNINS_UNHANDLED_KEY: Did not know how to uninstall a key found in the LOG file."},
    {-2001, "ERROR_UNINS_NOT_COMPLETE: The demo was not complete removed."},
    {-2101, "ERROR_STATUS_UNKNOWN_INIT_PARAMETER: Unrecognized initialization parameter passed to {STATUS_Init}."},
    {-2102, "ERROR_STATUS_COULDNT_CREATE_BMP: Couldn't create the BMP necessary to update the status bar."},
    {-2201, "ERROR_LOGDSK_UNIMPLEMENTED: Function can not be called from 16-bit code."},
    {-2202, "ERROR_LOGDSK_INITIALIZE_INTERFACE: Couldn't initialize interface. "},
    {-2203, "ERROR_LOGDSK_QUERY_INTERFACE: Query to interface failed."},
    {-2205, "ERROR_LOGDSK_BUFFER_TOO_SMALL: The supplied buffer was too small."},
    {-2206, "ERROR_LOGDSK_OPEN_KEY_ERROR: Error opening required registry key."},
    {-2207, "ERROR_LOGDSK_READ_VALUE: There was an error reading the value."},
    {-2208, "ERROR_LOGDSK_SET_ICON: Unable to set up the icon for the specified link. Make sure icon file exists."},
    {-2301, "ERROR_LOGPRTCT_UNKNOWN_TOKEN: The specified action token was not recognized."},
    {-2302, "ERROR_LOGPRTCT_WRONG_NUMBER_TOKENS: Not enough tokens were found on a line in the INF file."},
    {-2401, "ERROR_LOGBCKUP_UNKNOWN_TOKEN: An unknown token was specified in the INF file."},
    {-2402, "ERROR_LOGBCKUP_WRONG_NUMBER_TOKENS: A line in the INF file did not contain the right number of tokens."},
    {-2501, "ERROR_BMPDISP_EVENT_MISSING_PARAMS: Not enough tokens were passed on the even INF line."},
    {-2601, "ERROR_LANGUAGE_DLL_NOT_LOADED: Couldn't load language DLL."},
    {-2701, "ERROR_DIALOG_MEMORY_ALLOCATE: Couldn't allocate memory."},
    {-2702, "ERROR_DIALOG_CREATION_FAILED: Couldn't create specified dialog, check to make sure that it's in the resource."},
    {-2801, "ERROR_ZYNERROR_TOO_MANY_HOOKS: Tried to initialize too many error string hooks."},
    {-2901, "ERROR_MODULE_NONE_FREE: An attempt was made to register too many modules."},
    {-3001, "ERROR_LOGVLD_UNIMPLEMENTED: This routine is only available from 32-bit code."},
    {-3002, "ERROR_LOGVLD_COULDNT_OPEN_DAT: Couldn't open specified DAT file."},
    {-3003, "ERROR_LOGVLD_COULDNT_OPEN_INPUT_FILE: Unable to open specified file."},
    {-3004, "ERROR_LOGVLD_ERROR_IN_DAT_WRITE: An attempt to write to the DAT file failed."},
    {-3005, "ERROR_LOGVLD_INPUT_FILE_TOO_SMALL: The specified input file was too small, must be at least 128 bytes."},
    {-3006, "ERROR_LOGVLD_INPUT_READ_FAILED: An attempt to read from the input file failed."},
    {-3101, "ERROR_LOGDLL_UNIMPLEMENTED: This routine is only available from 32-bit code."},
    {-3102, "ERROR_LOGDLL_REGISTER_PROC_NOT_FOUND: Unable to find the registering procedure within the DLL."},
    {-3103, "ERROR_LOGDLL_UNREGISTER_PROC_NOT_FOUND: Unable to find the unregistering procedure within the DLL."},
    {-3104, "ERROR_LOGDLL_UNABLE_TO_LOAD_DLL: Unable to load the specified DLL."},
    {-3105, "ERROR_LOGDLL_REGISTER_FAILED: DLL was NOT successfully registered."},
    {-3106, "ERROR_LOGDLL_UNREGISTER_FAILED: DLL was NOT successfully unregistered."},
};

std::string TextOf(int code) {
    char buffer[2048];
    ZYNERROR_GetText(code, buffer, sizeof buffer);
    return buffer;
}

// A hook that answered a foreign code would show its text for another module's code.
TEST(ErrorText, EveryCodeGivesItsNameAndSentenceFromItsOwnHook) {
    COMMON_RegisterErrorHooks();
    for (const Expected& row : kTexts) EXPECT_EQ(TextOf(row.code), row.text) << "code " << row.code;
    // Gaps inside bands, neighbours of bands, success and positive codes.
    for (int code : {12345, 0, 1, -3, -100, -108, -215, -899, -901, -1116, -2204, -3107, -2147483647 - 1})
        EXPECT_EQ(TextOf(code), "The following error has occured:") << "code " << code;
}

TEST(ErrorText, CopiesAtMostSizeBytesTerminatorIncluded) {
    COMMON_RegisterErrorHooks();
    const std::string full = "ERROR_VAR_NOT_FOUND: Couldn't find the specified VAR";
    for (size_t size : {size_t{0}, size_t{1}, size_t{21}, full.size() + 1}) {
        std::array<char, 128> buffer;
        buffer.fill('#');
        ZYNERROR_GetText(ERROR_VAR_NOT_FOUND, buffer.data(), size);
        for (size_t i = size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#') << "size " << size;
        if (size > 0) {
            EXPECT_EQ(std::string(buffer.data()), full.substr(0, size - 1)) << "size " << size;
        }
    }
}

// Distinct functions: each answers one code of its own, far from every band.
template <int N>
const char* NumberedHook(int code) {
    return code == 90000 + N ? "numbered hook" : nullptr;
}

template <size_t... I>
constexpr auto MakeNumberedHooks(std::index_sequence<I...>) {
    return std::array<ZYNERROR_HOOK, sizeof...(I)>{NumberedHook<static_cast<int>(I)>...};
}

// The first hook in registration order wins. In a child, because the table only grows.
TEST(ErrorHookTable, FirstHookWinsAndTheSeventySixthDistinctHookIsRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            COMMON_RegisterErrorHooks();
            ZYNERROR_AddHook([](int code) { return code == ERROR_VAR_NOT_FOUND ? "shadowed" : nullptr; });
            bool ok = TextOf(ERROR_VAR_NOT_FOUND).rfind("ERROR_VAR_NOT_FOUND", 0) == 0;
            int result = 0;
            for (ZYNERROR_HOOK hook : MakeNumberedHooks(std::make_index_sequence<ZYNERROR_MAX_HOOKS>{}))
                if ((result = ZYNERROR_AddHook(hook)) != 0) break;
            ok = ok && result == ERROR_ZYNERROR_TOO_MANY_HOOKS && ZYNERROR_HookCount() == ZYNERROR_MAX_HOOKS;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
