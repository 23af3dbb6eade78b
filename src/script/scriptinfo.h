// What the installer expects of an install script: the sections it reads and
// their columns, the words that some columns must hold, and the variables the
// program defines or reads itself. One table per concept, shared by the
// install sequence and the script checker.
#pragma once

#include <span>
#include <string>
#include <string_view>

// A closed set of words a column may hold.
struct SCRIPTINFO_WORDSET {
    const char* what;                       // how a message names it: "INI operation"
    std::span<const char* const> words;
    bool match_case;                        // compared with case
    bool substring;                         // a word counts anywhere inside the column
    bool fatal;                             // a column without a word of the set stops the install
};

extern const SCRIPTINFO_WORDSET SCRIPTINFO_INI_OPERATIONS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_OPERATIONS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_SET_OPERATIONS;  // the ones that use the data type
extern const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_ROOTS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_REGISTRY_TYPES;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_MODIFY_FLAGS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_PM_OPERATIONS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_BACKUP_KEYWORDS;
extern const SCRIPTINFO_WORDSET SCRIPTINFO_ATTRIBUTE_LETTERS;  // one letter per word

// What a column holds, so that a checker knows which text belongs there.
enum SCRIPTINFO_KIND : unsigned char {
    SCRIPTINFO_TEXT,         // names, paths, descriptions
    SCRIPTINFO_FLAG,         // true when the first character is 1, t or y
    SCRIPTINFO_NUMBER,       // decimal
    SCRIPTINFO_WORD,         // exactly one word of the column's set
    SCRIPTINFO_FLAG_WORDS,   // at least one word of the set, found as substrings
    SCRIPTINFO_LETTERS,      // letters of the set, in any order
    SCRIPTINFO_REGISTRY_KEY, // a root of the set, then sub-keys
    SCRIPTINFO_REGISTRY_TYPE,
    SCRIPTINFO_UNSUPPORTED,  // a flag whose true value the installer cannot carry out
};

struct SCRIPTINFO_COLUMN {
    const char* name;
    SCRIPTINFO_KIND kind;
    const SCRIPTINFO_WORDSET* words;  // for the kinds that name a set
    bool expanded;                    // passed through variable substitution
};

// How a section's data lines are cut.
enum SCRIPTINFO_CUT : unsigned char {
    SCRIPTINFO_CUT_COLUMNS,  // the reader's token read with exactly `columns` tokens
    SCRIPTINFO_CUT_FIELDS,   // the handler splits the raw line itself; `columns` fields
    SCRIPTINFO_CUT_KEYWORD,  // the handler splits the raw line; its first field decides the rest
};

struct SCRIPTINFO_SECTION {
    const char* name;  // as scripts write it; the reader compares without case
    int columns;       // for SCRIPTINFO_CUT_KEYWORD: the fields of a keyword without parameters
    SCRIPTINFO_CUT cut;
    std::span<const SCRIPTINFO_COLUMN> layout;
};

inline constexpr const char* SCRIPTINFO_APPLICATION = "Application";
inline constexpr const char* SCRIPTINFO_DISKS = "Disks";
// Width of one column in the section handlers' token table, terminator included.
inline constexpr int SCRIPTINFO_COLUMN_WIDTH = 256;
// Expanded columns must be shorter than this (VAR_Substitute's size in the handlers).
inline constexpr int SCRIPTINFO_EXPANDED_SIZE = 255;
// Protection and Protection Backup read their lines into a buffer of this size.
inline constexpr int SCRIPTINFO_RAW_LINE_SIZE = 255;

// The fifteen install sections in the order the install runs them.
std::span<const SCRIPTINFO_SECTION> SCRIPTINFO_InstallSections();
// The row for name (without case), or null.
const SCRIPTINFO_SECTION* SCRIPTINFO_FindSection(std::string_view name);

// One keyword of the Protection section.
struct SCRIPTINFO_PROTECTION_TOKEN {
    const char* token;
    std::span<const char* const> parameters;  // names of the fields between token and flags
    bool reads_flags;                         // false: uninstall? and install? are not read
};
std::span<const SCRIPTINFO_PROTECTION_TOKEN> SCRIPTINFO_ProtectionTokens();
const SCRIPTINFO_PROTECTION_TOKEN* SCRIPTINFO_FindProtectionToken(std::string_view token);

// An event line's name and its parameters.
struct SCRIPTINFO_EVENT {
    const char* name;
    int parameters;        // required after the name; -1: any number
    int first_number;      // index (from 1) of the first parameter that must be an integer; 0: none
};
std::span<const SCRIPTINFO_EVENT> SCRIPTINFO_Events();
const SCRIPTINFO_EVENT* SCRIPTINFO_FindEvent(std::string_view name);
inline constexpr int SCRIPTINFO_EVENT_LINE_SIZE = 256;  // an event line must be shorter
inline constexpr int SCRIPTINFO_PICTURE_NAME = 29;      // characters a picture record keeps

// When a variable the program sets is there for the sections to use.
enum SCRIPTINFO_WHEN : unsigned char {
    SCRIPTINFO_AT_START,        // set before [Application] is read, so a script value replaces it
    SCRIPTINFO_ALWAYS,          // set after [Application], before the first section runs
    SCRIPTINFO_SOMETIMES,       // set only under conditions of the run
    SCRIPTINFO_UNINSTALL_ONLY,  // never set while installing
    SCRIPTINFO_GONE,            // deleted before the first section runs
};

struct SCRIPTINFO_VARIABLE {
    const char* name;
    const char* sample;  // a typical value, for trying out expansions
    SCRIPTINFO_WHEN when;
    const char* note;    // why it may be missing, for SOMETIMES and the other rare kinds
};
// The names the program itself sets, in the order a run sets them.
std::span<const SCRIPTINFO_VARIABLE> SCRIPTINFO_PredefinedVariables();
const SCRIPTINFO_VARIABLE* SCRIPTINFO_FindPredefined(std::string_view name);

// How the program reads a variable that the script must define.
enum SCRIPTINFO_READ : unsigned char {
    SCRIPTINFO_READ_VALUE,   // its text; missing is fatal
    SCRIPTINFO_READ_FLAG,    // a truth value; missing is fatal
    SCRIPTINFO_READ_NUMBER,  // a decimal number; missing is fatal
};
struct SCRIPTINFO_REQUIREMENT {
    const char* name;
    SCRIPTINFO_READ read;
    const char* reader;  // the step that stops without it
};
std::span<const SCRIPTINFO_REQUIREMENT> SCRIPTINFO_RequiredVariables();

// 1 when text is one of the set's words (or, for a substring set, contains one).
int SCRIPTINFO_IsWord(const SCRIPTINFO_WORDSET& set, std::string_view text);
// The set's words joined with ", " for messages.
std::string SCRIPTINFO_WordList(const SCRIPTINFO_WORDSET& set);
