#include "script/scriptinfo.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    if (word.size() > text.size()) return false;
    for (size_t i = 0; i + word.size() <= text.size(); ++i)
        if (EqualNoCase(text.substr(i, word.size()), word)) return true;
    return false;
}

constexpr std::array kIniOperations = {"ADD",    "APPEND",       "UNAPPEND",  "DELETE",      "MODIFY",
                                       "CREATE", "DELETE_MULTI", "ADD_MULTI", "MODIFY_MULTI"};
constexpr std::array kRegistryOperations = {"REG_ADD_KEY",         "REG_DELETE_KEY",          "REG_SET_VALUE",
                                            "REG_SET_VALUE_EXIST", "REG_SET_VALUE_NOT_EXIST", "REG_DELETE_VALUE"};
constexpr std::array kRegistrySetOperations = {"REG_SET_VALUE", "REG_SET_VALUE_EXIST", "REG_SET_VALUE_NOT_EXIST"};
constexpr std::array kRegistryRoots = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
                                       "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
constexpr std::array kRegistryTypes = {"REG_SZ", "REG_BINARY", "REG_DWORD"};
constexpr std::array kModifyFlags = {"BEGINNING",      "END",           "MATCH_EXACT",
                                     "MATCH_FILENAME", "IGNORE_COMMENTED", "MATCH_DONT_ADD"};
constexpr std::array kPmOperations = {"ADD", "DELETE"};
constexpr std::array kBackupKeywords = {"BackupExt"};
constexpr std::array kAttributeLetters = {"C", "R", "A", "H", "S"};

}  // namespace

// what, words, match_case, substring, fatal
const SCRIPTINFO_WORDSET SCRIPTINFO_INI_OPERATIONS = {"INI operation", kIniOperations, false, false, true};
const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_OPERATIONS = {"registry operation", kRegistryOperations, false, false,
                                                           true};
const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_SET_OPERATIONS = {"registry set operation", kRegistrySetOperations,
                                                               false, false, true};
const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_ROOTS = {"registry root", kRegistryRoots, false, false, true};
const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_TYPES = {"registry data type", kRegistryTypes, false, false, true};
const SCRIPTINFO_WORDSET SCRIPTINFO_MODIFY_FLAGS = {"Modify Files flag word", kModifyFlags, true, true, true};
const SCRIPTINFO_WORDSET SCRIPTINFO_PM_OPERATIONS = {"PM Info operation", kPmOperations, false, false, false};
const SCRIPTINFO_WORDSET SCRIPTINFO_BACKUP_KEYWORDS = {"Protection Backup keyword", kBackupKeywords, false, false,
                                                       false};
const SCRIPTINFO_WORDSET SCRIPTINFO_ATTRIBUTE_LETTERS = {"attribute letter", kAttributeLetters, true, false, false};

namespace {

constexpr SCRIPTINFO_COLUMN Text(const char* name) { return {name, SCRIPTINFO_TEXT, nullptr, true}; }
constexpr SCRIPTINFO_COLUMN Flag(const char* name) { return {name, SCRIPTINFO_FLAG, nullptr, true}; }
constexpr SCRIPTINFO_COLUMN Number(const char* name) { return {name, SCRIPTINFO_NUMBER, nullptr, true}; }
constexpr SCRIPTINFO_COLUMN Of(const char* name, SCRIPTINFO_KIND kind, const SCRIPTINFO_WORDSET& words) {
    return {name, kind, &words, true};
}

const std::array kFiles = {
    Text("Source Description"),
    Text("Source File"),
    Text("Destination Description"),
    Text("Destination File"),
    Of("Attributes", SCRIPTINFO_LETTERS, SCRIPTINFO_ATTRIBUTE_LETTERS),
    Number("Diskette #"),
    Flag("Append?"),
    SCRIPTINFO_COLUMN{"Compressed?", SCRIPTINFO_UNSUPPORTED, nullptr, true},
    Number("Size"),
    Text("Warn"),
    Flag("Recurse"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
const std::array kOtherFiles = {Text("file name"), Flag("Add to Uninstall?")};
const std::array kProtectionBackup = {
    SCRIPTINFO_COLUMN{"Keyword", SCRIPTINFO_WORD, &SCRIPTINFO_BACKUP_KEYWORDS, false},
    Text("Extension"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
const std::array kRename = {Text("Original file name"), Text("Name to change to"), Flag("Uninstall?"),
                            Flag("Install?")};
const std::array kIniSettings = {
    Of("Operation", SCRIPTINFO_WORD, SCRIPTINFO_INI_OPERATIONS),
    Text(".ini file name"),
    Text("Section"),
    Text("Entry"),
    Text("Value"),
    Text("Replace value"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
// The token decides the rest of a Protection line (see the token table).
const std::array kProtection = {SCRIPTINFO_COLUMN{"Token", SCRIPTINFO_TEXT, nullptr, false}};
const std::array kModifyFiles = {
    Of("Operation", SCRIPTINFO_FLAG_WORDS, SCRIPTINFO_MODIFY_FLAGS),
    Text("File name"),
    Text("Old line"),
    Text("New line"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
const std::array kRegistry = {
    Of("Operation", SCRIPTINFO_WORD, SCRIPTINFO_REGISTRY_OPERATIONS),
    Of("Key", SCRIPTINFO_REGISTRY_KEY, SCRIPTINFO_REGISTRY_ROOTS),
    Of("Data type", SCRIPTINFO_REGISTRY_TYPE, SCRIPTINFO_REGISTRY_TYPES),
    Text("Value name"),
    Text("Value data"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
const std::array kShell = {Text("Name of file to become shell"), Flag("Uninstall?"), Flag("Install?")};
const std::array kPmInfo = {
    Of("Operation", SCRIPTINFO_WORD, SCRIPTINFO_PM_OPERATIONS),
    Text("Group"),
    Text("File Name"),
    Text("App Description"),
    Text("Icon File"),
    Text("Icon #"),
    Flag("Uninstall?"),
    Flag("Install?"),
};
const std::array kDesktop = {
    Text("Description of shortcut"), Text("EXE to shortcut"), Text("command line parameters"), Text("icon file"),
    Number("number of icon in icon file"), Flag("uninstall?"), Flag("install?"),
};
const std::array kValidateFiles = {
    Text("DAT file"), Of("attributes to give DAT", SCRIPTINFO_LETTERS, SCRIPTINFO_ATTRIBUTE_LETTERS),
    Text("files to add"), Flag("recurse?"), Flag("uninstall?"), Flag("install?"),
};
const std::array kRegisterDlls = {Text("DLL name"), Flag("Recurse to find"), Flag("Uninstall?"), Flag("Install?")};
const std::array kLaunch = {
    Text("Description"),      Text("Application EXE"),        Text("Command line"),
    Flag("Wait?"),            Flag("Run during uninstall?"),  Flag("Run during install?"),
};

constexpr int Columns(std::span<const SCRIPTINFO_COLUMN> layout) { return static_cast<int>(layout.size()); }

// The install runs the sections in exactly this order, whatever their order in the script.
const std::array kInstallSections = {
    SCRIPTINFO_SECTION{"Files", Columns(kFiles), SCRIPTINFO_CUT_COLUMNS, kFiles},
    SCRIPTINFO_SECTION{"Protection Files", Columns(kFiles), SCRIPTINFO_CUT_COLUMNS, kFiles},
    SCRIPTINFO_SECTION{"Other Files", Columns(kOtherFiles), SCRIPTINFO_CUT_COLUMNS, kOtherFiles},
    SCRIPTINFO_SECTION{"Protection Backup", Columns(kProtectionBackup), SCRIPTINFO_CUT_FIELDS, kProtectionBackup},
    SCRIPTINFO_SECTION{"Rename", Columns(kRename), SCRIPTINFO_CUT_COLUMNS, kRename},
    SCRIPTINFO_SECTION{"Ini Settings", Columns(kIniSettings), SCRIPTINFO_CUT_COLUMNS, kIniSettings},
    SCRIPTINFO_SECTION{"Protection", 3, SCRIPTINFO_CUT_KEYWORD, kProtection},
    SCRIPTINFO_SECTION{"Modify Files", Columns(kModifyFiles), SCRIPTINFO_CUT_COLUMNS, kModifyFiles},
    SCRIPTINFO_SECTION{"Registry32", Columns(kRegistry), SCRIPTINFO_CUT_COLUMNS, kRegistry},
    SCRIPTINFO_SECTION{"Shell", Columns(kShell), SCRIPTINFO_CUT_COLUMNS, kShell},
    SCRIPTINFO_SECTION{"PM Info", Columns(kPmInfo), SCRIPTINFO_CUT_COLUMNS, kPmInfo},
    SCRIPTINFO_SECTION{"Desktop", Columns(kDesktop), SCRIPTINFO_CUT_COLUMNS, kDesktop},
    SCRIPTINFO_SECTION{"Validate Files", Columns(kValidateFiles), SCRIPTINFO_CUT_COLUMNS, kValidateFiles},
    SCRIPTINFO_SECTION{"Register DLLs", Columns(kRegisterDlls), SCRIPTINFO_CUT_COLUMNS, kRegisterDlls},
    SCRIPTINFO_SECTION{"Launch", Columns(kLaunch), SCRIPTINFO_CUT_COLUMNS, kLaunch},
};

constexpr std::array<const char*, 0> kNoParameters = {};
constexpr std::array kSetShellParameters = {"INI file", "section", "entry"};
constexpr std::array kSetScreenSaverParameters = {"screen saver file"};

// In the order the handler tests them.
const std::array kProtectionTokens = {
    SCRIPTINFO_PROTECTION_TOKEN{"NoRun", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoClose", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoSaveSettings", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoFileMenu", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"EditLevel", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoBreak", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoReboot", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"BootKeys", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"StartWin", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"SetShell", kSetShellParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"SetScreenSaver", kSetScreenSaverParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"RemoveDriver", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"NoStartupSound", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"GraphicsAcceleration", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"DisablePowerSaving", kNoParameters, true},
    SCRIPTINFO_PROTECTION_TOKEN{"CompaqShellFix", kNoParameters, false},
    SCRIPTINFO_PROTECTION_TOKEN{"CompaqPhoneCenter", kNoParameters, false},
};

const std::array kEvents = {
    SCRIPTINFO_EVENT{"TESTING_TYPE", -1, 0},
    SCRIPTINFO_EVENT{"ADD_GRAPHIC_TYPE", 3, 2},  // picture, x, y
    SCRIPTINFO_EVENT{"REMOVE_GRAPHIC_TYPE", 1, 0},
};

const std::array kPredefined = {
    SCRIPTINFO_VARIABLE{"InstallName", "ZYN Install", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"InstallBulletproofing", "Y", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"BootDrive", "C:", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"OS", "Win95", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"DOS", "DOS6", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemResX", "640", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemResY", "480", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemBPP", "8", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemPalette", "1", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemMemory", "16", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemCPU", "7", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemCPUSubType", "0", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemCPUManufacturer", "1", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemMHz", "166", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SystemMMX", "N", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"BackDoor", "N", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"WindowsDirectory", "C:\\WINDOWS", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"WindowsSystemDirectory", "C:\\WINDOWS\\SYSTEM", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"InstallIs32Bit", "Y", SCRIPTINFO_AT_START, nullptr},
    SCRIPTINFO_VARIABLE{"SourceDirectory", "D:", SCRIPTINFO_AT_START, nullptr},
    // The sample of DestinationDirectory stands in only while DefaultDirectory is missing.
    SCRIPTINFO_VARIABLE{"DestinationDirectory", "C:\\DEMO", SCRIPTINFO_ALWAYS, nullptr},
    SCRIPTINFO_VARIABLE{"ShortSourceDirectory", "D:", SCRIPTINFO_ALWAYS, nullptr},
    SCRIPTINFO_VARIABLE{"ShortDestinationDirectory", "C:\\DEMO", SCRIPTINFO_ALWAYS, nullptr},
    SCRIPTINFO_VARIABLE{"Exclusive", "FALSE", SCRIPTINFO_ALWAYS, nullptr},
    SCRIPTINFO_VARIABLE{"SetScreenSaverActive", "N", SCRIPTINFO_SOMETIMES,
                        "it is set only when DisableScreenSavers is true or a SetScreenSaver line has run"},
    SCRIPTINFO_VARIABLE{"Language", "0", SCRIPTINFO_SOMETIMES,
                        "it is set only when the user picks a language in the language dialog"},
    SCRIPTINFO_VARIABLE{"WarningShown", "TRUE", SCRIPTINFO_SOMETIMES,
                        "it is set only once the question about overwriting files has been asked"},
    SCRIPTINFO_VARIABLE{"LOGINSTAddedDirectories", "", SCRIPTINFO_GONE,
                        "the install deletes it before the first section runs"},
    SCRIPTINFO_VARIABLE{"UninstallDirectory", "C:\\DEMO", SCRIPTINFO_UNINSTALL_ONLY,
                        "it is set only while uninstalling"},
};

// In the order the run reads them.
const std::array kRequired = {
    SCRIPTINFO_REQUIREMENT{"ApplicationName", SCRIPTINFO_READ_VALUE, "start-up"},
    SCRIPTINFO_REQUIREMENT{"DefaultDirectory", SCRIPTINFO_READ_VALUE, "start-up"},
    SCRIPTINFO_REQUIREMENT{"UninstallFileName", SCRIPTINFO_READ_VALUE, "start-up"},
    SCRIPTINFO_REQUIREMENT{"DisableScreenSavers", SCRIPTINFO_READ_FLAG, "start-up"},
    SCRIPTINFO_REQUIREMENT{"GetLanguage", SCRIPTINFO_READ_FLAG, "the language selection"},
    SCRIPTINFO_REQUIREMENT{"Exclusive", SCRIPTINFO_READ_FLAG, "the install sequence"},
    SCRIPTINFO_REQUIREMENT{"UninstallCleanDirs", SCRIPTINFO_READ_FLAG, "the directory check"},
    SCRIPTINFO_REQUIREMENT{"CalculateSize", SCRIPTINFO_READ_VALUE, "the disk-space check"},
    SCRIPTINFO_REQUIREMENT{"ExtraSpace", SCRIPTINFO_READ_NUMBER, "the disk-space check"},
    SCRIPTINFO_REQUIREMENT{"LogFile", SCRIPTINFO_READ_VALUE, "the install run"},
    SCRIPTINFO_REQUIREMENT{"RestartWindows", SCRIPTINFO_READ_FLAG, "the end of the install"},
    SCRIPTINFO_REQUIREMENT{"RestartSystem", SCRIPTINFO_READ_FLAG, "the end of the install"},
};

template <typename Row, size_t N>
const Row* FindByName(const std::array<Row, N>& rows, std::string_view name, const char* Row::*field) {
    for (const Row& row : rows)
        if (EqualNoCase(row.*field, name)) return &row;
    return nullptr;
}

}  // namespace

std::span<const SCRIPTINFO_SECTION> SCRIPTINFO_InstallSections() { return kInstallSections; }

const SCRIPTINFO_SECTION* SCRIPTINFO_FindSection(std::string_view name) {
    return FindByName(kInstallSections, name, &SCRIPTINFO_SECTION::name);
}

std::span<const SCRIPTINFO_PROTECTION_TOKEN> SCRIPTINFO_ProtectionTokens() { return kProtectionTokens; }

const SCRIPTINFO_PROTECTION_TOKEN* SCRIPTINFO_FindProtectionToken(std::string_view token) {
    return FindByName(kProtectionTokens, token, &SCRIPTINFO_PROTECTION_TOKEN::token);
}

std::span<const SCRIPTINFO_EVENT> SCRIPTINFO_Events() { return kEvents; }

const SCRIPTINFO_EVENT* SCRIPTINFO_FindEvent(std::string_view name) {
    return FindByName(kEvents, name, &SCRIPTINFO_EVENT::name);
}

std::span<const SCRIPTINFO_VARIABLE> SCRIPTINFO_PredefinedVariables() { return kPredefined; }

const SCRIPTINFO_VARIABLE* SCRIPTINFO_FindPredefined(std::string_view name) {
    return FindByName(kPredefined, name, &SCRIPTINFO_VARIABLE::name);
}

std::span<const SCRIPTINFO_REQUIREMENT> SCRIPTINFO_RequiredVariables() { return kRequired; }

int SCRIPTINFO_IsWord(const SCRIPTINFO_WORDSET& set, std::string_view text) {
    for (const char* word : set.words) {
        std::string_view w(word);
        bool hit;
        if (set.substring)
            hit = set.match_case ? text.find(w) != std::string_view::npos : ContainsNoCase(text, w);
        else
            hit = set.match_case ? text == w : EqualNoCase(text, w);
        if (hit) return 1;
    }
    return 0;
}

std::string SCRIPTINFO_WordList(const SCRIPTINFO_WORDSET& set) {
    std::string list;
    for (const char* word : set.words) {
        if (!list.empty()) list += ", ";
        list += word;
    }
    return list;
}
