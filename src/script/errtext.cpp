#include "script/errtext.h"

#include <span>

#include "script/errcodes.h"

namespace {

struct ErrorText {
    int code;
    const char* text;
};

// Every row's text begins with the name of the row's own code, so a code can
// never be shown under another code's name.
#define ZYN_TEXT(name, sentence) ErrorText{name, #name ": " sentence}

// A row outside its module's band would answer for another module's code.
constexpr bool WithinBand(std::span<const ErrorText> table, int lowest, int highest) {
    for (const ErrorText& row : table)
        if (row.code < lowest || row.code > highest) return false;
    return true;
}

const char* Find(std::span<const ErrorText> table, int code) {
    for (const ErrorText& row : table)
        if (row.code == code) return row.text;
    return nullptr;
}

// Texts are the system's own wording, spelling slips included, since support
// staff match reports against them. The change-log store gives its names only.
constexpr ErrorText kZyndisk[] = {
    ZYN_TEXT(ERROR_ZYNDISK_SET_DRIVE, "Failed to change drive"),
    ZYN_TEXT(ERROR_ZYNDISK_CREATE_DIR, "Failed to create directory."),
    ZYN_TEXT(ERROR_ZYNDISK_RENAME, "Rename of file failed"),
    ZYN_TEXT(ERROR_ZYNDISK_NO_DISKSPACE, "Insufficient Diskspace"),
    ZYN_TEXT(ERROR_ZYNDISK_MEMORY_ALLOCATE, "Memory allocation"),
    ZYN_TEXT(ERROR_ZYNDISK_COPY_READ, "Failure during file read"),
    ZYN_TEXT(ERROR_ZYNDISK_COPY_WRITE, "Failure during file write"),
    ZYN_TEXT(ERROR_ZYNDISK_FILE_NOT_FOUND, "File not found"),
    ZYN_TEXT(ERROR_ZYNDISK_COPY_OPEN_DEST, "Failure opening copy destination"),
    ZYN_TEXT(ERROR_ZYNDISK_COPY_OPEN_SOURCE, "Failure opeing copy source"),
    ZYN_TEXT(ERROR_ZYNDISK_CALC_SIZE, "Couldn't calculate file size"),
    ZYN_TEXT(ERROR_ZYNDISK_DELETE_DIRECTORY, "Couldn't delete directory"),
    ZYN_TEXT(ERROR_ZYNDISK_DELETE_FILE, "Couldn't delete file"),
    ZYN_TEXT(ERROR_ZYNDISK_RECURSION_DEPTH, "Recursion depth too great"),
    ZYN_TEXT(ERROR_ZYNDISK_UNIMPLEMENTED, "The called routine is not currently implemented"),
    ZYN_TEXT(ERROR_ZYNDISK_UNWISE_DELETE, "An attempt was made to recursively delete the contents of a prohibitted directory."),
};
static_assert(WithinBand(kZyndisk, -1117, -1101));

constexpr ErrorText kZynerror[] = {
    ZYN_TEXT(ERROR_ZYNERROR_TOO_MANY_HOOKS, "Tried to initialize too many error string hooks."),
};
static_assert(WithinBand(kZynerror, -2801, -2801));

constexpr ErrorText kZynlog[] = {
    ZYN_TEXT(ERROR_ZYNLOG_BUFFER_TOO_SMALL, ""),
    ZYN_TEXT(ERROR_ZYNLOG_NO_FILE_SET, ""),
    ZYN_TEXT(ERROR_ZYNLOG_FILENAME_TOO_LONG, ""),
    ZYN_TEXT(ERROR_ZYNLOG_FILE_OPEN, ""),
    ZYN_TEXT(ERROR_ZYNLOG_INIT, ""),
    ZYN_TEXT(ERROR_ZYNLOG_MEMORY_ALLOCATE, ""),
    ZYN_TEXT(ERROR_ZYNLOG_SUB_KEY_NOT_FOUND, ""),
    ZYN_TEXT(ERROR_ZYNLOG_SET_VALUE, ""),
    ZYN_TEXT(ERROR_ZYNLOG_VALUE_NOT_FOUND, ""),
    ZYN_TEXT(ERROR_ZYNLOG_INPUT_FILE_SIZE, ""),
    ZYN_TEXT(ERROR_ZYNLOG_INPUT_FILE_DATA, ""),
    ZYN_TEXT(ERROR_ZYNLOG_FILE_READ, ""),
    ZYN_TEXT(ERROR_ZYNLOG_KEY_NOT_OPEN, ""),
    ZYN_TEXT(ERROR_ZYNLOG_DIRECTORY_DOESNT_EXIST, ""),
};
static_assert(WithinBand(kZynlog, -214, -201));

constexpr ErrorText kBmpdisp[] = {
    ZYN_TEXT(ERROR_BMPDISP_EVENT_MISSING_PARAMS, "Not enough tokens were passed on the even INF line."),
};
static_assert(WithinBand(kBmpdisp, -2501, -2501));

constexpr ErrorText kCommon[] = {
    ZYN_TEXT(ERROR_COMMON_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_COMMON_BAD_STRING_ARGS, "Invalid string arguments passed to: {MakeString}"),
};
static_assert(WithinBand(kCommon, -2, -1));

constexpr ErrorText kDde[] = {
    ZYN_TEXT(ERROR_DDE_CREATE, "Couldn't create ProcInstance."),
    ZYN_TEXT(ERROR_DDE_INITIALIZE, "Initialization of DDE routines failed."),
    ZYN_TEXT(ERROR_DDE_PROGRAM_MANAGER, "Couldn't form connection to Program Manager."),
};
static_assert(WithinBand(kDde, -1503, -1501));

constexpr ErrorText kDialog[] = {
    ZYN_TEXT(ERROR_DIALOG_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_DIALOG_CREATION_FAILED, "Couldn't create specified dialog, check to make sure that it's in the resource."),
};
static_assert(WithinBand(kDialog, -2702, -2701));

constexpr ErrorText kEvent[] = {
    ZYN_TEXT(ERROR_EVENT_BUFFER_TOO_SMAL, "Supplied buffer was too small."),
    ZYN_TEXT(ERROR_EVENT_NO_MORE_TOKENS, "More tokens were expected but none were found."),
    ZYN_TEXT(ERROR_EVENT_NO_STRING_SET, "No string was found."),
    ZYN_TEXT(ERROR_EVENT_NO_HANDLER_FOUND, "No handler was found for the specified event."),
};
static_assert(WithinBand(kEvent, -1704, -1701));

constexpr ErrorText kInf[] = {
    ZYN_TEXT(ERROR_INF_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_INF_RESOURCE_NOT_FOUND, "INF resource not found."),
    ZYN_TEXT(ERROR_INF_BUFFER_TOO_SMALL, "Supplied buffer is too small."),
    ZYN_TEXT(ERROR_INF_NO_SECTION_SPECIFIED, "No section was specified in the INF."),
    ZYN_TEXT(ERROR_INF_SECTION_NOT_FOUND, "Couldn't find section in INF file."),
    ZYN_TEXT(ERROR_INF_TOO_FEW_TOKENS_FOUND, "A line in the INF file did not contain enough tokens."),
    ZYN_TEXT(ERROR_INF_TOO_MANY_TOKENS_FOUND, "A line in the INF file contained more tokens than necessary."),
};
static_assert(WithinBand(kInf, -507, -501));

constexpr ErrorText kInstall[] = {
    ZYN_TEXT(ERROR_INSTALL_NEVER_STARTED, "The install process was never started."),
};
static_assert(WithinBand(kInstall, -1401, -1401));

constexpr ErrorText kLanguage[] = {
    ZYN_TEXT(ERROR_LANGUAGE_DLL_NOT_LOADED, "Couldn't load language DLL."),
};
static_assert(WithinBand(kLanguage, -2601, -2601));

constexpr ErrorText kLogbckup[] = {
    ZYN_TEXT(ERROR_LOGBCKUP_UNKNOWN_TOKEN, "An unknown token was specified in the INF file."),
    ZYN_TEXT(ERROR_LOGBCKUP_WRONG_NUMBER_TOKENS, "A line in the INF file did not contain the right number of tokens."),
};
static_assert(WithinBand(kLogbckup, -2402, -2401));

constexpr ErrorText kLogcomn[] = {
    ZYN_TEXT(ERROR_LOGCOMN_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_LOGCOMN_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
    ZYN_TEXT(ERROR_LOGCOMN_DEMO_KEY_NOT_SET, "The demo key was inquired for before it was set."),
    ZYN_TEXT(ERROR_LOGCOMN_PREV_DEMO_INFO, "Couldn't find information about the previously installed demo."),
};
static_assert(WithinBand(kLogcomn, -304, -301));

constexpr ErrorText kLogdsk[] = {
    ZYN_TEXT(ERROR_LOGDSK_UNIMPLEMENTED, "Function can not be called from 16-bit code."),
    ZYN_TEXT(ERROR_LOGDSK_INITIALIZE_INTERFACE, "Couldn't initialize interface. "),
    ZYN_TEXT(ERROR_LOGDSK_QUERY_INTERFACE, "Query to interface failed."),
    ZYN_TEXT(ERROR_LOGDSK_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
    ZYN_TEXT(ERROR_LOGDSK_OPEN_KEY_ERROR, "Error opening required registry key."),
    ZYN_TEXT(ERROR_LOGDSK_READ_VALUE, "There was an error reading the value."),
    ZYN_TEXT(ERROR_LOGDSK_SET_ICON, "Unable to set up the icon for the specified link. Make sure icon file exists."),
};
static_assert(WithinBand(kLogdsk, -2208, -2201));

constexpr ErrorText kLogfiles[] = {
    ZYN_TEXT(ERROR_LOGFILES_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
};
static_assert(WithinBand(kLogfiles, -801, -801));

constexpr ErrorText kLogini[] = {
    ZYN_TEXT(ERROR_LOGINI_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_LOGINI_WRITE, "Couldn't write to INI file."),
    ZYN_TEXT(ERROR_LOGINI_UNHANDLED_INF_COMMAND, "The command token for a line from the INF file was not recognized."),
};
static_assert(WithinBand(kLogini, -703, -701));

constexpr ErrorText kLoginst[] = {
    ZYN_TEXT(ERROR_LOGINST_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_LOGINST_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
};
static_assert(WithinBand(kLoginst, -402, -401));

constexpr ErrorText kLoglnch[] = {
    ZYN_TEXT(ERROR_LOG_LAUNCH, "Failed to launch specified file."),
};
static_assert(WithinBand(kLoglnch, -900, -900));

constexpr ErrorText kLogmod[] = {
    ZYN_TEXT(ERROR_LOGMOD_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_LOGMOD_UNKNOWN_COMMAND, "The action token for a line in the INF file was not recognized."),
};
static_assert(WithinBand(kLogmod, -1302, -1301));

constexpr ErrorText kLogprtct[] = {
    ZYN_TEXT(ERROR_LOGPRTCT_UNKNOWN_TOKEN, "The specified action token was not recognized."),
    ZYN_TEXT(ERROR_LOGPRTCT_WRONG_NUMBER_TOKENS, "Not enough tokens were found on a line in the INF file."),
};
static_assert(WithinBand(kLogprtct, -2302, -2301));

constexpr ErrorText kLogreg[] = {
    ZYN_TEXT(ERROR_LOGREG_MEMORY_ALLOCATE, "Memory allocate"),
    ZYN_TEXT(ERROR_LOGREG_BUFFER_TOO_SMALL, "Supplied buffer too small"),
    ZYN_TEXT(ERROR_LOGREG_UNKNOWN_BASE_KEY, "Unknown Base key"),
    ZYN_TEXT(ERROR_LOGREG_KEY_DOESNT_EXIT, "Key doesn't exist"),
    ZYN_TEXT(ERROR_LOGREG_QUERY_KEY, "Query key failed"),
    ZYN_TEXT(ERROR_LOGREG_ENUM_KEY, "Enum key failed"),
    ZYN_TEXT(ERROR_LOGREG_OPEN_KEY, "Open key failed"),
    ZYN_TEXT(ERROR_LOGREG_CREATE_KEY, "Create key failed"),
    ZYN_TEXT(ERROR_LOGREG_CLOSE_KEY, "Close key failed"),
    ZYN_TEXT(ERROR_LOGREG_DELETE_KEY, "Delete key failed"),
    ZYN_TEXT(ERROR_LOGREG_COULDNT_FIND_UNIQUE_KEY, "Couldn't find unique key"),
    ZYN_TEXT(ERROR_LOGREG_ENUM_VALUE, "Enum value failed"),
    ZYN_TEXT(ERROR_LOGREG_READ_VALUE, "Read value failed"),
    ZYN_TEXT(ERROR_LOGREG_WRITE_VALUE, "Write value failed"),
    ZYN_TEXT(ERROR_LOGREG_DELETE_VALUE, "Delete value failed"),
    ZYN_TEXT(ERROR_LOGREG_COULDNT_FIND_UNIQUE_VALUE, "Couldn't find unique value"),
    ZYN_TEXT(ERROR_LOGREG_UNKNOWN_OPERATION, "Unknown operation requested"),
    ZYN_TEXT(ERROR_LOGREG_UNKNOWN_TYPE, "Unknown data type"),
    ZYN_TEXT(ERROR_LOGREG_NOT_FROM_16BIT, "Not implemented in 16-bit code"),
    ZYN_TEXT(ERROR_LOGREG_NEXT_DEMO_ID_FOUND, "Next Demo ID found"),
};
static_assert(WithinBand(kLogreg, -1820, -1801));

constexpr ErrorText kLogunins[] = {
    ZYN_TEXT(ERROR_LOGUNINS_UNSUCCESSFUL, "Uninstall was not successful."),
    ZYN_TEXT(ERROR_LOGUNINS_INFO_NOT_FOUND, "Information about this uninstall was not found. Perhaps the INI file was deleted."),
    ZYN_TEXT(ERROR_LOGUNINS_UNHANDLED_KEY, "Did not know how to uninstall a key found in the LOG file."),
};
static_assert(WithinBand(kLogunins, -1903, -1901));

constexpr ErrorText kModule[] = {
    ZYN_TEXT(ERROR_MODULE_NONE_FREE, "An attempt was made to register too many modules."),
};
static_assert(WithinBand(kModule, -2901, -2901));

constexpr ErrorText kPlist[] = {
    ZYN_TEXT(ERROR_PLIST_INIT, "{PLIST_Init} was called twice without an intervening {PLIST_Terminate}"),
    ZYN_TEXT(ERROR_PLIST_NOT_FOUND, "The specified PLIST object was not found."),
    ZYN_TEXT(ERROR_PLIST_MEMORY_ALLOCATE, "Memory allocation failed."),
    ZYN_TEXT(ERROR_PLIST_BUFFER_TOO_SMALL, "The buffer supplied was too small."),
    ZYN_TEXT(ERROR_PLIST_EXCLUSIVE, "A function returned that the demo is EXCLUSIVE."),
    ZYN_TEXT(ERROR_PLIST_UNKNOWN_ACTION, "An unknown action was requested of one of the PLIST Objects"),
};
static_assert(WithinBand(kPlist, -606, -601));

constexpr ErrorText kStatus[] = {
    ZYN_TEXT(ERROR_STATUS_UNKNOWN_INIT_PARAMETER, "Unrecognized initialization parameter passed to {STATUS_Init}."),
    ZYN_TEXT(ERROR_STATUS_COULDNT_CREATE_BMP, "Couldn't create the BMP necessary to update the status bar."),
};
static_assert(WithinBand(kStatus, -2102, -2101));

constexpr ErrorText kStrlist[] = {
    ZYN_TEXT(ERROR_STRLIST_INIT, "Two calls to {STRLIST_Init} were made without an intervening call to {STRLIST_Terminate}."),
    ZYN_TEXT(ERROR_STRLIST_NOT_FOUND, "The specified list item was not found."),
    ZYN_TEXT(ERROR_STRLIST_MEMORY_ALLOCATE, "Failed to allocate memory."),
    ZYN_TEXT(ERROR_STRLIST_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
};
static_assert(WithinBand(kStrlist, -1204, -1201));

constexpr ErrorText kSys[] = {
    ZYN_TEXT(ERROR_SYS_FILE_OPEN, "File open failed"),
    ZYN_TEXT(ERROR_SYS_FILE_SEEK, "File seek failed"),
    ZYN_TEXT(ERROR_SYS_FILE_READ, "File read failed"),
    ZYN_TEXT(ERROR_SYS_FILE_WRITE, "File write failed"),
    ZYN_TEXT(ERROR_SYS_ATTRIBUTES, "Setting attributed failed"),
    ZYN_TEXT(ERROR_SYS_FILE_NOT_FOUND, "File not found"),
    ZYN_TEXT(ERROR_SYS_FILE_DELETE, "Couldn't delete file"),
    ZYN_TEXT(ERROR_SYS_FILE_RENAME, "Couldn't rename file"),
    ZYN_TEXT(ERROR_SYS_DIRECTORY_DELETE, "Couldn't delete directory"),
    ZYN_TEXT(ERROR_SYS_GET_CURRENT_DIRECTORY, "Couldn't determine current directory"),
    ZYN_TEXT(ERROR_SYS_DIRECTORY_MAKE, "Couldn't create directory"),
    ZYN_TEXT(ERROR_SYS_DRIVE_INVALID, "Specified drive is invalid"),
    ZYN_TEXT(ERROR_SYS_CHANGE_LENGTH, "Couldn't change file's length"),
    ZYN_TEXT(ERROR_SYS_RESOURCE_NOT_FOUND, "Resource not found"),
    ZYN_TEXT(ERROR_SYS_BUFFER_TOO_SMALL, "Supplied buffer too small"),
    ZYN_TEXT(ERROR_SYS_FILE_FLUSH, "Couldn't flush file"),
    ZYN_TEXT(ERROR_SYS_FILE_LENGTH, "Couldn't determine file size"),
    ZYN_TEXT(ERROR_SYS_FILE_GET_TIME, "Couldn't get current time"),
    ZYN_TEXT(ERROR_SYS_FILE_SET_TIME, "Couldn't set current time"),
    ZYN_TEXT(ERROR_SYS_GET_FREE_SPACE, "Couldn't get free drive space"),
};
static_assert(WithinBand(kSys, -1020, -1001));

constexpr ErrorText kUnins[] = {
    ZYN_TEXT(ERROR_UNINS_NOT_COMPLETE, "The demo was not complete removed."),
};
static_assert(WithinBand(kUnins, -2001, -2001));

constexpr ErrorText kVar[] = {
    ZYN_TEXT(ERROR_VAR_MEMORY_ALLOCATE, "Couldn't allocate memory."),
    ZYN_TEXT(ERROR_VAR_NO_FREE_SLOT, "An attempt was made to create more VARs than the arry will hold (increase VAR_DEFAULT_MAX_NUM)."),
    ZYN_TEXT(ERROR_VAR_NOT_FOUND, "Couldn't find the specified VAR"),
    ZYN_TEXT(ERROR_VAR_BUFFER_TOO_SMALL, "The supplied buffer was too small."),
    ZYN_TEXT(ERROR_VAR_REPLACE, "Couldn't find the VAR."),
    ZYN_TEXT(ERROR_VAR_MAX_WORK_LENGTH, "The string which was being stored into the VAR was longer than VAR_MAX_WORK_LENGTH."),
    ZYN_TEXT(ERROR_VAR_NOT_INITIALIZED, "A call was made to the VAR routines without first calling {VAR_Init}."),
};
static_assert(WithinBand(kVar, -107, -101));

constexpr ErrorText kVareval[] = {
    ZYN_TEXT(ERROR_VAREVAL_UNKNOWN_OPERATOR, "A specified operator was not recognized by the parsing routines."),
    ZYN_TEXT(ERROR_VAREVAL_TERMINATOR_TOO_EARLY, "The end of the string to be evaluated came before all of the parentheses or operands were specified."),
    ZYN_TEXT(ERROR_VAREVAL_MISPLACE_EXPRESSION, "An operator was found where none was expected."),
    ZYN_TEXT(ERROR_VAREVAL_MISMATCHED_PARENTHESES, "Parentheses did not match up."),
    ZYN_TEXT(ERROR_VAREVAL_MEMORY_ALLOCATE, "Could not allocate memory."),
    ZYN_TEXT(ERROR_VAREVAL_UNKNOWN_COPY_TYPE, "Programming error in {LocalCopyValue} of VAREVAL.C."),
    ZYN_TEXT(ERROR_VAREVAL_MAX_TOO_SMALL, "An expression was bigger than VAREVAL_MAX_EXPRESSION."),
    ZYN_TEXT(ERROR_VAREVAL_BAD_OPERAND, "An operand was used with an incompatible operator (e.g., ANDing a string)."),
    ZYN_TEXT(ERROR_MISMATCHED_LEFT_AND_RIGHT, "The left and right hand side of an expression being evaluated were NOT of the same type."),
};
static_assert(WithinBand(kVareval, -1609, -1601));

constexpr ErrorText kLogvld[] = {
    ZYN_TEXT(ERROR_LOGVLD_UNIMPLEMENTED, "This routine is only available from 32-bit code."),
    ZYN_TEXT(ERROR_LOGVLD_COULDNT_OPEN_DAT, "Couldn't open specified DAT file."),
    ZYN_TEXT(ERROR_LOGVLD_COULDNT_OPEN_INPUT_FILE, "Unable to open specified file."),
    ZYN_TEXT(ERROR_LOGVLD_ERROR_IN_DAT_WRITE, "An attempt to write to the DAT file failed."),
    ZYN_TEXT(ERROR_LOGVLD_INPUT_FILE_TOO_SMALL, "The specified input file was too small, must be at least 128 bytes."),
    ZYN_TEXT(ERROR_LOGVLD_INPUT_READ_FAILED, "An attempt to read from the input file failed."),
};
static_assert(WithinBand(kLogvld, -3006, -3001));

constexpr ErrorText kLogdll[] = {
    ZYN_TEXT(ERROR_LOGDLL_UNIMPLEMENTED, "This routine is only available from 32-bit code."),
    ZYN_TEXT(ERROR_LOGDLL_REGISTER_PROC_NOT_FOUND, "Unable to find the registering procedure within the DLL."),
    ZYN_TEXT(ERROR_LOGDLL_UNREGISTER_PROC_NOT_FOUND, "Unable to find the unregistering procedure within the DLL."),
    ZYN_TEXT(ERROR_LOGDLL_UNABLE_TO_LOAD_DLL, "Unable to load the specified DLL."),
    ZYN_TEXT(ERROR_LOGDLL_REGISTER_FAILED, "DLL was NOT successfully registered."),
    ZYN_TEXT(ERROR_LOGDLL_UNREGISTER_FAILED, "DLL was NOT successfully unregistered."),
};
static_assert(WithinBand(kLogdll, -3106, -3101));

#undef ZYN_TEXT

}  // namespace

const char* ZYNDISK_ErrorText(int code) { return Find(kZyndisk, code); }
const char* ZYNERROR_ErrorText(int code) { return Find(kZynerror, code); }
const char* ZYNLOG_ErrorText(int code) { return Find(kZynlog, code); }
const char* BMPDISP_ErrorText(int code) { return Find(kBmpdisp, code); }
const char* COMMON_ErrorText(int code) { return Find(kCommon, code); }
const char* DDE_ErrorText(int code) { return Find(kDde, code); }
const char* DIALOG_ErrorText(int code) { return Find(kDialog, code); }
const char* EVENT_ErrorText(int code) { return Find(kEvent, code); }
const char* INF_ErrorText(int code) { return Find(kInf, code); }
const char* INSTALL_ErrorText(int code) { return Find(kInstall, code); }
const char* LANGUAGE_ErrorText(int code) { return Find(kLanguage, code); }
const char* LOGBCKUP_ErrorText(int code) { return Find(kLogbckup, code); }
const char* LOGCOMN_ErrorText(int code) { return Find(kLogcomn, code); }
const char* LOGDSK_ErrorText(int code) { return Find(kLogdsk, code); }
const char* LOGFILES_ErrorText(int code) { return Find(kLogfiles, code); }
const char* LOGINI_ErrorText(int code) { return Find(kLogini, code); }
const char* LOGINST_ErrorText(int code) { return Find(kLoginst, code); }
const char* LOGLNCH_ErrorText(int code) { return Find(kLoglnch, code); }
const char* LOGMOD_ErrorText(int code) { return Find(kLogmod, code); }
const char* LOGPRTCT_ErrorText(int code) { return Find(kLogprtct, code); }
const char* LOGREG_ErrorText(int code) { return Find(kLogreg, code); }
const char* LOGUNINS_ErrorText(int code) { return Find(kLogunins, code); }
const char* MODULE_ErrorText(int code) { return Find(kModule, code); }
const char* PLIST_ErrorText(int code) { return Find(kPlist, code); }
const char* STATUS_ErrorText(int code) { return Find(kStatus, code); }
const char* STRLIST_ErrorText(int code) { return Find(kStrlist, code); }
const char* SYS_ErrorText(int code) { return Find(kSys, code); }
const char* UNINS_ErrorText(int code) { return Find(kUnins, code); }
const char* VAR_ErrorText(int code) { return Find(kVar, code); }
const char* VAREVAL_ErrorText(int code) { return Find(kVareval, code); }
const char* LOGVLD_ErrorText(int code) { return Find(kLogvld, code); }
const char* LOGDLL_ErrorText(int code) { return Find(kLogdll, code); }
