// The "Ini Settings" section: single INI entries added, changed, deleted or given a
// word more or less, and entries that occur several times under one name in a
// section (the _MULTI operations). Changes are recorded under the keys "Common",
// "INI Settings", file, section and entry, one value per record named by the list of
// demos that own it, so that removing one demo restores what the others still rely on.
#pragma once

#include <string>
#include <string_view>

#include "log/zynlog.h"
#include "script/errcodes.h"

inline constexpr int LOGINI_COLUMNS = 8;
inline constexpr int LOGINI_TOKEN_SIZE = 256;
inline constexpr char LOGINI_KEY[] = "INI Settings";
// The read default that tells an absent entry; a record holding it as the old value
// means the entry did not exist before.
inline constexpr char LOGINI_DEFAULT[] = "ZYNDEFAULT";

// The section handler of "Ini Settings": action 1 carries the lines out, action 2 is the
// exclusivity test (-605 for a file outside $(DestinationDirectory)); any other action
// is fatal (-606). Returns the reader's end-of-section result, 1. Reader, variable and
// log failures are fatal.
int LOGINI_Install(int demo_id, const char* section, int action);
// The whole install-time work of one line (columns already expanded); the flags are
// read with COMMON_IsTrue. 0; an unknown operation (-703) and log failures are fatal.
int LOGINI_ChangeEntry(int demo_id, const char* operation, const char* file, const char* section, const char* entry,
                       const char* value, const char* replace, const char* uninstall, const char* install);
// Replays the records of demo_id under an "INI Settings" key: undone, or handed to the
// nearest later demo that changed the same entry since. 0; log failures are fatal.
int LOGINI_Uninstall(ZYNLOG_KEY key, int demo_id);
// Undoes one record ("operation,value,old value") on the file. Always 0: a write that
// fails leaves the entry as it is.
int LOGINI_RestoreEntry(const char* file, const char* section, const char* entry, const char* record);
// The value of the first line "entry=match" (both ignoring case) in the section, or
// default_value; cut to size - 1 characters as the profile functions do. 0, -701 or a
// file code (the file is created when it is missing).
int LOGINI_ReadMultiEntry(const char* section, const char* entry, const char* match, const char* default_value,
                          char* buffer, int size, const char* file);
// Gives the first line "entry=match" the new value, removes it (new_value null), or
// adds entry=new_value at the end of the section's entries (the section too when it is
// missing). 0, -701 or a file code.
int LOGINI_WriteMultiEntry(const char* section, const char* entry, const char* match, const char* new_value,
                           const char* file);
// Writes an entry, removes it (value null) or removes the section (entry null), also
// in a read-only file. 0, the attribute failure (file missing), or -702.
int LOGINI_WriteEntry(const char* section, const char* entry, const char* value, const char* file);

// --- portable decisions (logini_text.cpp) ---

enum class LOGINI_OP { Add, Append, Unappend, Delete, Modify, Create, DeleteMulti, AddMulti, ModifyMulti, Unknown };
// The operation named (ignoring case), or Unknown.
LOGINI_OP LOGINI_ParseOperation(std::string_view name);
inline bool LOGINI_IsMulti(LOGINI_OP op) {
    return op == LOGINI_OP::DeleteMulti || op == LOGINI_OP::AddMulti || op == LOGINI_OP::ModifyMulti;
}
// True when a read returned the marker: the entry is absent.
bool LOGINI_IsDefault(std::string_view value);

// What one install line does to an entry whose current content was read with the
// marker as default (for _MULTI: the value of the matching line). A _MULTI write goes
// to the line matched by the replace value.
struct LOGINI_CHANGE {
    enum Write { kKeep, kSet, kRemove } write = kKeep;
    std::string value;     // for kSet
    bool record = false;   // a record is due
    bool has_old = false;  // the record carries a third field
    std::string old;
};
LOGINI_CHANGE LOGINI_PlanChange(LOGINI_OP op, std::string_view current, std::string_view value);

// Removes the first blank-separated word whose file-name part equals word (ignoring
// case); the words before it keep one blank each, the text after it stays as it was.
// Without a match every word is followed by one blank. True when a word was removed
// (it goes to *removed).
bool LOGINI_UnappendWord(std::string_view current, std::string_view word, std::string* result, std::string* removed);
// Every word equal to word (ignoring case) dropped, each other word followed by a blank.
std::string LOGINI_DropWords(std::string_view current, std::string_view word);
// Puts a removed word back at the end unless the value holds it already. False when
// nothing is to change.
bool LOGINI_RestoreWord(std::string_view current, std::string_view word, std::string* result);
// Splits "operation,value,old value" at its first two commas; missing fields are empty.
void LOGINI_SplitRecord(std::string_view record, std::string* operation, std::string* value, std::string* old);

// The INI text editor on a whole file's text. Finds the first line "entry=match" of the
// section: true with its value exactly as the file has it.
bool LOGINI_FindMultiText(std::string_view text, std::string_view section, std::string_view entry,
                          std::string_view match, std::string* value);
// The text after a LOGINI_WriteMultiEntry (new_value null: a removal).
std::string LOGINI_EditMultiText(std::string_view text, std::string_view section, std::string_view entry,
                                 std::string_view match, const char* new_value);
