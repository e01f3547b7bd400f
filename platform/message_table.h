// message_table.h - message texts and string resources of modules, and the
// module names the resource lookup needs.
//
// Windows reads message tables with FormatMessageA and string tables with
// LoadStringA.  POSIX has neither: a companion module exports the entry
// points below, and a module without them has no texts.
#ifndef SAL_MESSAGE_TABLE_H
#define SAL_MESSAGE_TABLE_H

#include <cstddef>
#include <cstdint>

#include "base/text_table.h"

namespace sal::os {

/// Entry points of the companion shared objects on POSIX:
///   int vortLoadString(uint32_t id, char *buffer, int capacity)
///     LoadStringA's contract: copies at most capacity - 1 bytes of the text
///     of id, terminates, and returns the bytes copied (0: no such id).
///   const char *vortFindMessage(uint32_t id)
///     the message text of id, ending with "\r\n" as in a message table,
///     inserts left in place; null when there is none.
constexpr const char *kStringEntryName = "vortLoadString";
constexpr const char *kMessageEntryName = "vortFindMessage";

/// The file-name ending of modules: ".dll" on Windows, ".so" on POSIX.
const char *ModuleSuffix();

/// The length of the part of a module's file name (or path) that a
/// language suffix follows: up to the last "." of the name on Windows, up
/// to the ".so" (and any version behind it) on POSIX; the whole name when
/// there is none.  Only the last path component is searched.
size_t ModuleStemLength(const char *fileName);

/// The folder that holds the companions of the module at moduleFile (its
/// language variant, language.ini and, for the library, the companion
/// modules), with a separator at its end, into buffer.  On POSIX that is
/// the module's private folder, named after the module without "lib" and
/// its ending (/usr/lib/x86_64-linux-gnu/libvortBexScanner.so.1 ->
/// /usr/lib/x86_64-linux-gnu/vortBexScanner/), when that folder exists, as
/// in an installed tree; otherwise, as in a build tree, and always on
/// Windows, the module's own folder.  False when moduleFile names no folder
/// or the folder does not fit.
bool CompanionFolder(const char *moduleFile, char *buffer, size_t capacity);

/// Where a companion module of the given file name is loaded from: on
/// POSIX the companion folder (CompanionFolder) of the module holding this
/// code (the library) when the file is there, written into buffer;
/// otherwise, and always on Windows (whose module search starts in the host
/// program's folder), name itself for the platform's module search.  A name
/// with a folder is returned as it is.
const char *LocateModule(const char *name, char *buffer, size_t capacity);

/// The host program's file name (the process's main module) into buffer;
/// false when there is none or it does not fit.
bool HostProgramFileName(char *buffer, size_t capacity);

/// The flags of CSalModule::Load that load a message module: as data on
/// Windows, as code on POSIX (where the texts are reached through an entry
/// point).
uint32_t MessageModuleLoadFlags();

/// The file name of the system's performance-data library, whose message
/// table holds the texts of facility 31; null where the system has none.
const char *PdhModuleName();

/// The name under which GetProcAddress finds the version module's event
/// source function: ordinal 17 on Windows, a named entry point on POSIX.
const char *VersionSourceEntry();

/// Gives the module that holds this code (the library) its own string
/// table where modules carry none: on POSIX, LoadModuleString of that
/// module answers from table[0, count), which must live as long as the
/// process.  Windows modules carry their string tables as resources, and
/// this does nothing there.
void SetOwnStringTable(const SalTextEntry *table, size_t count);

/// The text of string id in module (null: the host program's own) into
/// buffer, at most capacity - 1 bytes, terminated.  Returns the bytes
/// copied; 0 when the module has no such id.
int LoadModuleString(void *module, uint32_t id, char *buffer, int capacity);

/// The message text of id, inserts such as "%1" left in place and ending
/// with the line break of the message: first from module's message table
/// (null: the host program's own), then from the system's.  The user's
/// default language.  The text is released with FreeMessageText; null when
/// no text was found.
char *FindMessageText(void *module, uint32_t id);
void FreeMessageText(char *text);

/// The message text of id in module (null: the host program's own), with
/// "%1" to "%99" replaced by strings[0] to strings[98] (an insert beyond
/// count reads as ""), into buffer.  False when there is no text or it does
/// not fit into capacity bytes with its terminator.
bool FormatMessageWithStrings(void *module, uint32_t id, const char *const *strings,
                              uint16_t count, char *buffer, size_t capacity);

}  // namespace sal::os

#endif  // SAL_MESSAGE_TABLE_H
